// A DLL that stands for one planted beside a downloaded setup.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedProbe() { return 42; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
