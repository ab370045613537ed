#include "ui/control_table.h"

#include <array>

namespace rrscope::ui {
namespace {

using enum ControlKind;

// Label11 is one designed name shared by two labels, told apart by their
// indices 0 and 2 (there is no index 1); the object names carry the index.
constexpr std::array<ControlRow, 71> kControls = {{
    {"Command1", button, "Нажми меня", 240, 600, 1455, 615, false},
    {"Label1", label, "порог", 360, 1560, 1215, 495, false},
    {"Label2", label, "защитный интервал (с)", 360, 2640, 2415, 375, false},
    {"Picture1", pictureBox, "", 5280, 480, 3735, 3855, false},
    {"Label3", label, "ритмограмма", 5280, 120, 3135, 255, false},
    {"Picture2", pictureBox, "", 9840, 480, 3615, 3855, false},
    {"Label4", label, "Скаттерграмма", 9840, 120, 3015, 255, false},
    {"Picture3", pictureBox, "", 5280, 5160, 3855, 3735, false},
    {"Label5", label, "Пульс", 5280, 4920, 3375, 255, false},
    {"Text1", textBox, "0.4", 360, 2160, 1455, 285, false},
    {"Text2", textBox, "0.4", 360, 3120, 1455, 375, false},
    {"Command2", button, "освежить", 1920, 600, 1335, 615, false},
    {"Text3", textBox, "0.03", 5280, 4440, 615, 285, false},
    {"Text4", textBox, "0.4", 4320, 2160, 615, 285, false},
    {"Text5", textBox, "0.5", 9120, 2160, 615, 285, false},
    {"Text6", textBox, "0.5", 11280, 4560, 495, 285, false},
    {"Text7", textBox, "500", 4440, 6960, 495, 285, false},
    {"Text8", textBox, "0.05", 6240, 9000, 615, 285, false},
    {"Command3", button, "Вернуть все исходные цифры", 3000, 1800, 1095, 2775, false},
    {"Label7", label, "Выбор временного сдвига Тау для аттрактора", 360, 3840, 2175, 495, false},
    {"Text9", textBox, "1", 360, 4560, 495, 285, false},
    {"Command4", button, "+", 4320, 1800, 260, 260, false},
    {"Command5", button, "-", 4320, 2520, 260, 260, false},
    {"Command6", button, "+", 9120, 1800, 260, 260, false},
    {"Command7", button, "-", 9120, 2520, 260, 260, false},
    {"Command8", button, "+", 6000, 4440, 255, 255, false},
    {"Command9", button, "-", 4920, 4440, 255, 255, false},
    {"Command10", button, "+", 11880, 4560, 260, 260, false},
    {"Command11", button, "-", 10920, 4560, 260, 260, false},
    {"Command12", button, "+", 4440, 6600, 260, 260, false},
    {"Command13", button, "-", 4440, 7320, 260, 260, false},
    {"Command14", button, "+", 6960, 9000, 260, 260, false},
    {"Command15", button, "-", 5880, 9000, 260, 260, false},
    {"Picture4", pictureBox, "", 9840, 5160, 3615, 3735, false},
    {"Label6", label, "Гистограмма ", 9840, 4920, 2655, 255, false},
    {"Label8", label, "0", 3120, 7080, 975, 375, false},
    {"Label9", label, "Количество RR интервалов в анализируемой последовательности", 360, 6960,
     2655, 615, false},
    {"Label10", label, "ЧСС уд/мин", 10800, 9120, 1575, 255, false},
    {"Label11_0", label, "RRi, с", 4560, 720, 615, 255, false},
    {"Label11_2", label, "RRi, с", 12840, 4560, 615, 255, false},
    {"Label12", label, "i", 8520, 4440, 375, 255, false},
    {"Label13", label, "A(t)", 4800, 5160, 375, 255, false},
    {"Label14", label, "t", 8640, 9000, 375, 255, false},
    {"Label15", label, "%", 9600, 5160, 375, 255, false},
    {"Label16", label, "RRi+tau,    с", 9120, 720, 615, 495, false},
    {"Label17", label, "Количество сэмплов:", 360, 5280, 1695, 255, false},
    {"sam", label, "", 2160, 5280, 1215, 255, false},
    {"Label18", label, "Время записи ритма:", 360, 5760, 1455, 495, false},
    {"TR", label, " ", 2160, 5880, 2055, 255, false},
    {"Label19", label, "Cредняя ЧСС", 360, 7800, 1695, 255, false},
    {"Label22", label, "0", 2400, 7800, 975, 375, false},
    {"Label20", label, "Время наблюдения RR интервалов:", 360, 6360, 1695, 375, false},
    {"Label21", label, "", 2160, 6480, 1815, 375, false},
    {"Picture5", pictureBox, "", 13800, 480, 3735, 3855, false},
    {"Label23", label, "Корреляция К(t-tau)", 13800, 120, 1695, 375, false},
    {"Label24", label, "%", 13560, 480, 375, 255, false},
    {"Label25", label, "dt, c", 15480, 4440, 1815, 255, false},
    {"Frame1", frame, "Отладка - значения D(i)", 13800, 5040, 3735, 3855, false},
    {"Label26", label, "i-1", 720, 480, 495, 375, true},
    {"Label27", label, "i+1", 2520, 480, 615, 495, true},
    {"Label28", label, "i", 1680, 480, 495, 375, true},
    {"Label29", label, "0", 720, 960, 255, 255, true},
    {"Label30", label, "0", 1560, 960, 375, 255, true},
    {"Label31", label, "0", 2400, 960, 495, 375, true},
    {"Label32", label, "0", 720, 1560, 495, 255, true},
    {"Label33", label, "0", 1440, 1560, 735, 375, true},
    {"Label34", label, "0", 2280, 1560, 735, 255, true},
    {"Label35", label, "0", 960, 2160, 2295, 255, true},
    {"Label36", label, "0", 1680, 2640, 1935, 375, true},
    {"Command17", button, ">", 3120, 1560, 375, 255, true},
    {"Command18", button, "<", 120, 1560, 375, 255, true},
}};

}  // namespace

std::span<const ControlRow> controlTable() {
  return kControls;
}

}  // namespace rrscope::ui
