#pragma once
// The graph engine's functions (PEGRP32D.DLL), imported by name at load time.
// An engine object is named by its handle; once the object has a window the
// handle is that window's handle. Settings are addressed by property id.
// C calling convention, so the names export undecorated in both widths.
#include <windows.h>

#ifdef PEL_GRAPH_ENGINE_BUILDING
#define PEL_GRAPH_ENGINE_API extern "C" __declspec(dllexport)
#else
#define PEL_GRAPH_ENGINE_API extern "C" __declspec(dllimport)
#endif

// typeOrHandle: an object type, or an existing object whose settings the
// new one takes over (then parent names the window the new one lives in).
PEL_GRAPH_ENGINE_API HWND PEcreate(UINT_PTR typeOrHandle, DWORD style, const RECT* rect,
                                          HWND parent, UINT id);
PEL_GRAPH_ENGINE_API BOOL PEdestroy(HWND h);
PEL_GRAPH_ENGINE_API BOOL PEreinitialize(HWND h);
PEL_GRAPH_ENGINE_API BOOL PEreinitializecustoms(HWND h);
PEL_GRAPH_ENGINE_API BOOL PEresetimage(HWND h, INT a, INT b);

PEL_GRAPH_ENGINE_API BOOL PEnset(HWND h, UINT id, INT value);
PEL_GRAPH_ENGINE_API INT PEnget(HWND h, UINT id);
// count 0: a single Double or Single setting; otherwise a record, or for
// the X and Y data the Single values of every subset and point in order.
PEL_GRAPH_ENGINE_API BOOL PEvsetW(HWND h, UINT id, const void* value, INT count);
PEL_GRAPH_ENGINE_API BOOL PEvgetW(HWND h, UINT id, void* buffer);
PEL_GRAPH_ENGINE_API BOOL PEszsetW(HWND h, UINT id, const WCHAR* text);
// buffer holds 1256 characters; the engine never writes more.
PEL_GRAPH_ENGINE_API BOOL PEszgetW(HWND h, UINT id, WCHAR* buffer);
PEL_GRAPH_ENGINE_API BOOL PEvsetcellW(HWND h, UINT id, UINT index, const void* value);
PEL_GRAPH_ENGINE_API BOOL PEvgetcellW(HWND h, UINT id, UINT index, void* buffer);
PEL_GRAPH_ENGINE_API BOOL PEvsetcellExW(HWND h, UINT id, INT subset, INT point, const void* value);

PEL_GRAPH_ENGINE_API HENHMETAFILE PEgetmeta(HWND h);
PEL_GRAPH_ENGINE_API BOOL PEplaymetafile(HWND h, HDC dc, HENHMETAFILE meta);
PEL_GRAPH_ENGINE_API BOOL PEbitmapandgradients(HWND h, HDC dc, const RECT* client, INT flags);
PEL_GRAPH_ENGINE_API BOOL PEallocateindmemory(HWND h);
PEL_GRAPH_ENGINE_API BOOL PEdrawcursor(HWND h, HDC dc, INT flags);
PEL_GRAPH_ENGINE_API BOOL PEconvpixeltograph(HWND h, INT* axis, INT* pixelX, INT* pixelY,
                                                    double* graphX, double* graphY, BOOL rightAxis,
                                                    BOOL topAxis, BOOL viceVersa);
