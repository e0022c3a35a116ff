#include "units/types/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

namespace units {

bool Picture::decode(const std::string& bytes) {
  reset();
  if (bytes.empty()) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return false;
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    return false;
  }
  IPicture* picture = nullptr;
  const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(hr) || !picture) return false;
  m_picture = picture;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  HDC screen = GetDC(nullptr);
  m_size.cx = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  m_size.cy = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  ReleaseDC(nullptr, screen);
  return true;
}

void Picture::reset() {
  if (m_picture) m_picture->Release();
  m_picture = nullptr;
  m_size = {0, 0};
}

void Picture::draw(HDC dc, const RECT& target) const {
  if (!m_picture) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  m_picture->get_Width(&width);
  m_picture->get_Height(&height);
  m_picture->Render(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, height,
                    width, -height, nullptr);
}

}  // namespace units
