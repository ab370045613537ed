#include "charts/display_list.h"

namespace rrscope::charts {

void DisplayList::Cls() {
  ops_.clear();
  floats_.clear();
  ints_.clear();
  texts_.clear();
  ops_.push_back(Op::Cls);
}

void DisplayList::DrawWidth(int width) {
  ops_.push_back(Op::DrawWidth);
  ints_.push_back(width);
}

void DisplayList::Line(float x1, float y1, float x2, float y2, Colour colour) {
  ops_.push_back(Op::Line);
  floats_.insert(floats_.end(), {x1, y1, x2, y2});
  ints_.push_back(colour);
}

void DisplayList::CurrentX(float x) {
  ops_.push_back(Op::CurrentX);
  floats_.push_back(x);
}

void DisplayList::CurrentY(float y) {
  ops_.push_back(Op::CurrentY);
  floats_.push_back(y);
}

void DisplayList::Circle(float radius, Colour colour) {
  ops_.push_back(Op::Circle);
  floats_.push_back(radius);
  ints_.push_back(colour);
}

void DisplayList::Print(std::string_view text) {
  ops_.push_back(Op::Print);
  texts_.emplace_back(text);
}

void DisplayList::replay(ChartSurface& target) const {
  std::size_t f = 0;
  std::size_t i = 0;
  std::size_t t = 0;
  for (const Op op : ops_) {
    switch (op) {
      case Op::Cls:
        target.Cls();
        break;
      case Op::DrawWidth:
        target.DrawWidth(ints_[i++]);
        break;
      case Op::Line:
        target.Line(floats_[f], floats_[f + 1], floats_[f + 2], floats_[f + 3], ints_[i++]);
        f += 4;
        break;
      case Op::CurrentX:
        target.CurrentX(floats_[f++]);
        break;
      case Op::CurrentY:
        target.CurrentY(floats_[f++]);
        break;
      case Op::Circle:
        target.Circle(floats_[f++], ints_[i++]);
        break;
      case Op::Print:
        target.Print(texts_[t++]);
        break;
    }
  }
}

}  // namespace rrscope::charts
