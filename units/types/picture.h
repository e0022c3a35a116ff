#pragma once

#include <windows.h>

#include <string>

struct IPicture;

namespace units {

// A picture decoded from its file bytes (BMP, GIF, JPEG, ICO, as the system's
// picture decoder reads them), kept until the picture property changes.
class Picture {
 public:
  Picture() = default;
  ~Picture() { reset(); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  bool decode(const std::string& bytes);
  void reset();
  bool empty() const { return !m_picture; }
  SIZE size() const { return m_size; }
  // Draws the picture scaled into `target`.
  void draw(HDC dc, const RECT& target) const;

 private:
  ::IPicture* m_picture = nullptr;
  SIZE m_size = {0, 0};
};

}  // namespace units
