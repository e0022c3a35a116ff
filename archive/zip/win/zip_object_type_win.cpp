// The ZIP object's control only records its unit, so that the unpack command
// can raise events on it; it is created hidden and the program never shows it.
#include "archive/zip/zip_object_type.h"
#include "units/types/unit_type_builder.h"

namespace archive {
namespace {

constexpr units::BlockLayout kNoBlock{0, nullptr, 0};

// The button face of the classic scheme: the type's picture stands on it.
constexpr COLORREF kFace = 0xC8D0D4;
constexpr COLORREF kInk = 0x404040;

class ZipObject final : public units::UnitControl {
 public:
  ZipObject(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, 0) {}
  const units::BlockLayout& layout() const override { return kNoBlock; }
  uint32_t data_type(int) const override { return 0; }

  bool create(const units::CreateArguments& args) override {
    units::register_runtime_class("_QW_ZipObject", CS_DBLCLKS, false);
    return create_window(0, "_QW_ZipObject", nullptr,
                         (args.style & ~WS_VISIBLE) | WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER, args);
  }

 protected:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_ERASEBKGND) return 1;  // the paint covers everything
    if (message != WM_PAINT) return default_procedure(message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    paint_picture(dc);
    EndPaint(handle(), &paint);
    return 0;
  }

 private:
  // A folded archive: an outlined sheet with a zipper down its middle.
  void paint_picture(HDC dc) {
    RECT client;
    GetClientRect(handle(), &client);
    HBRUSH face = CreateSolidBrush(kFace);
    FillRect(dc, &client, face);
    DeleteObject(face);
    const int width = client.right, height = client.bottom;
    if (width < 8 || height < 8) return;
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, width / 4, height / 8, width * 3 / 4, height * 7 / 8);
    for (int y = height / 8 + 2; y < height * 7 / 8 - 2; y += 3) {
      MoveToEx(dc, width / 2 - 2, y, nullptr);
      LineTo(dc, width / 2 + 2, y);
    }
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
};

int32_t RT_STDCALL write_nothing(void*, int32_t, const units::PropertyValue*, uint32_t* out) {
  if (out) *out = 0;
  return 0;
}
void* RT_STDCALL save_nothing(void*) { return nullptr; }
int32_t RT_STDCALL read_nothing(void*, int32_t, units::PropertyValue*) { return 0; }

void* RT_STDCALL lookup(int32_t code) {
  switch (code) {
    case units::op::kCreate: return reinterpret_cast<void*>(&units::Operations<ZipObject>::create);
    case units::op::kWriteProperty: return reinterpret_cast<void*>(&write_nothing);
    case units::op::kSave: return reinterpret_cast<void*>(&save_nothing);
    case units::op::kReadProperty: return reinterpret_cast<void*>(&read_nothing);
    default: return nullptr;
  }
}

constexpr uint32_t kNoOwnProperties[1] = {0};
const auto kProperties = units::property_table(kNoOwnProperties);

}  // namespace

const rt::UnitType* zip_object_type() {
  static const rt::UnitType type = {"ZIP压缩",         "ZIP",  "", 0,      nullptr, 0x8040, 0, 0, nullptr, 8,
                                    kProperties.items, lookup, 0,  nullptr};
  return &type;
}

}  // namespace archive
