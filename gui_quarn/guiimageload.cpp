// guiimageload: bitmaps from files, for image buttons, static bitmaps and the
// pixel copies. The plug-in's instance has no picture library: .bmp only.
// Thread: user-interface thread only.
#include "gui_quarn/guicore.h"
#include "gui_quarn/guiimage.h"

#if !QUARN_GUI_PLUGIN
#include <gdiplus.h>
#endif

static bool fileexists(const std::string &file) {
  DWORD a = GetFileAttributesA(file.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// A .bmp file at its own size, as a device-independent section.
HBITMAP guiloadbmpdib(const std::string &file) {
  if (!fileexists(file)) return 0;
  HBITMAP b = (HBITMAP)LoadImageA(0, file.c_str(), IMAGE_BITMAP, 0, 0,
                                  0x2050);  // load from file, default size, DIB section
  if (!b) guinotice("erreur loadbmp :" + file, "guiloadbmpdib");
  return b;
}

#if !QUARN_GUI_PLUGIN
// Any picture the imaging library reads, as a native bitmap on a black background.
HBITMAP guiloadimage(const std::string &file) {
  if (!fileexists(file)) return 0;
  WCHAR wide[251] = {};
  std::string cut = file.substr(0, 250);
  MultiByteToWideChar(CP_ACP, 0, cut.c_str(), (int)cut.size(), wide, 250);

  HBITMAP result = 0;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, 0) == Gdiplus::Ok) {
    Gdiplus::GpBitmap *picture = 0;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(wide, &picture) == Gdiplus::Ok && picture) {
      if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(picture, &result, 0) != Gdiplus::Ok)
        result = 0;
      Gdiplus::DllExports::GdipDisposeImage(picture);
    }
    Gdiplus::GdiplusShutdown(token);
  }
  if (!result) guinotice("erreur loadimage :" + file, "guiloadimage");
  return result;
}
#endif
