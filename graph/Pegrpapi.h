#pragma once
// The graph engine's functions (PEGRP32D.DLL), imported by name at load time.
// An engine object is named by its handle; once the object has a window the
// handle is that window's handle. Settings are addressed by property id.
#include <windows.h>

#ifdef PEL_GRAPH_ENGINE_BUILDING
#define PEL_GRAPH_ENGINE_API extern "C" __declspec(dllexport)
#else
#define PEL_GRAPH_ENGINE_API extern "C" __declspec(dllimport)
#endif

// typeOrHandle: an object type, or an existing object whose settings the
// new one takes over (then parent names the window the new one lives in).
PEL_GRAPH_ENGINE_API HWND WINAPI PEcreate(UINT_PTR typeOrHandle, DWORD style, const RECT* rect,
                                          HWND parent, UINT id);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEdestroy(HWND h);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEreinitialize(HWND h);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEreinitializecustoms(HWND h);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEresetimage(HWND h, INT a, INT b);

PEL_GRAPH_ENGINE_API BOOL WINAPI PEnset(HWND h, UINT id, INT value);
PEL_GRAPH_ENGINE_API INT WINAPI PEnget(HWND h, UINT id);
// count 0: a single Double or Single setting; otherwise a record.
PEL_GRAPH_ENGINE_API BOOL WINAPI PEvsetW(HWND h, UINT id, const void* value, INT count);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEvgetW(HWND h, UINT id, void* buffer);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEszsetW(HWND h, UINT id, const WCHAR* text);
// buffer holds 1256 characters; the engine never writes more.
PEL_GRAPH_ENGINE_API BOOL WINAPI PEszgetW(HWND h, UINT id, WCHAR* buffer);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEvsetcellW(HWND h, UINT id, UINT index, const void* value);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEvgetcellW(HWND h, UINT id, UINT index, void* buffer);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEvsetcellExW(HWND h, UINT id, INT subset, INT point, const void* value);

PEL_GRAPH_ENGINE_API HENHMETAFILE WINAPI PEgetmeta(HWND h);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEplaymetafile(HWND h, HDC dc, HENHMETAFILE meta);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEbitmapandgradients(HWND h, HDC dc, const RECT* client, INT flags);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEallocateindmemory(HWND h);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEdrawcursor(HWND h, HDC dc, INT flags);
PEL_GRAPH_ENGINE_API BOOL WINAPI PEconvpixeltograph(HWND h, INT* axis, INT* pixelX, INT* pixelY,
                                                    double* graphX, double* graphY, BOOL rightAxis,
                                                    BOOL topAxis, BOOL viceVersa);
