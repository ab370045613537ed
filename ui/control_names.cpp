#include "ui/control_names.h"

#include <array>

namespace rrscope::ui {
namespace {

constexpr std::array<const char*, 9> kFieldNames = {
    "порог",
    "защитный интервал (с)",
    "масштаб ритмограммы по горизонтали",
    "масштаб ритмограммы по вертикали",
    "масштаб скаттерграммы по вертикали",
    "масштаб скаттерграммы по горизонтали",
    "масштаб пульса по вертикали",
    "масштаб пульса по горизонтали",
    "Выбор временного сдвига Тау для аттрактора",
};

// The titles without the blank that ends the histogram's caption.
constexpr std::array<const char*, 5> kChartTitles = {"ритмограмма", "Скаттерграмма", "Пульс",
                                                     "Гистограмма", "Корреляция К(t-tau)"};

constexpr std::array<const char*, 5> kChartsOf = {"ритмограммы", "скаттерграммы", "графика пульса",
                                                  "гистограммы", "графика корреляции"};

}  // namespace

std::string fieldName(analysis::TextBox box) {
  return kFieldNames[static_cast<std::size_t>(box)];
}

std::string stepButtonName(analysis::TextBox box, bool increases) {
  return (increases ? "увеличить " : "уменьшить ") + fieldName(box);
}

std::string chartTitle(analysis::Picture chart) {
  return kChartTitles[static_cast<std::size_t>(chart)];
}

std::string chartOf(analysis::Picture chart) {
  return kChartsOf[static_cast<std::size_t>(chart)];
}

std::string countOf(std::int64_t count, const char* one, const char* few, const char* many) {
  const std::int64_t lastTwo = (count < 0 ? -count : count) % 100;
  const std::int64_t last = lastTwo % 10;
  const char* noun = many;
  if (lastTwo < 11 || lastTwo > 14) {
    if (last == 1) noun = one;
    if (last >= 2 && last <= 4) noun = few;
  }
  return std::to_string(count) + " " + noun;
}

}  // namespace rrscope::ui
