#pragma once

#include <QColor>

#include <cstdint>

class CallsignBox;
class QCheckBox;
class DecoderNotice;
class ChartControl;
class FlexGrid;
class QAction;
class QLabel;
class QMainWindow;
class QPushButton;
class QTextEdit;
class UdpListener;

// The window as designed: every place and size in twips, the grids' column widths and the
// colours, each written here only.
namespace Design {

struct Place {
    int left;
    int top;
    int width;
    int height;
};

// The outer size of the window, title bar and borders included.
constexpr int WidthTwips = 7200;
constexpr int HeightTwips = 5200;
// The log grid's right edge and a little room.
constexpr int MinClientWidthTwips = 7050;

constexpr Place Label1{1560, 4080, 5490, 255};
constexpr Place Label2{4250, 3050, 3495, 615};
constexpr Place Label3{120, 120, 6135, 255};
constexpr Place Text1{5000, 3300, 1575, 330};
constexpr Place RichTextBox1{0, 4800, 6090, 735};
constexpr Place Command1{120, 3960, 1215, 375};
constexpr Place Chart{50, 450, 7000, 3400};
constexpr Place MSFlexGrid1{100, 450, 6900, 2310};
constexpr Place MSFlexGrid2{100, 2800, 4100, 1150};
// Below the callsign box, where the prompt's box ends: the alert's switches, for the callsign
// they concern; and the label that speaks an alert to a screen reader, a pixel of its own.
constexpr Place AlertCheck{4300, 3690, 1250, 255};
constexpr Place AlertSoundCheck{5600, 3690, 1400, 255};
constexpr Place AlertAnnouncement{4250, 3950, 15, 15};
// Over the history band, the whole width, while a first start says which decoder it found.
constexpr Place DecoderNotice{100, 2800, 6900, 1200};

constexpr int LogColumnWidths[] = {500, 1000, 700, 700, 1400, 5000};
constexpr int HistoryColumnWidths[] = {1000, 700, 700, 1400};
constexpr int RowHeight = 200;

// 0x00BBGGRR, as the design gives colours.
constexpr std::uint32_t CallsignColor = 15130800;
const QColor LightYellow(255, 255, 192);

} // namespace Design

// The controls of the window, by the names the rest of the program knows them by, made and
// styled as the design has them; the window owns them through their parents.
struct Form1Controls {
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    ChartControl* MSChart1 = nullptr;
    ChartControl* MSChart2 = nullptr;
    CallsignBox* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    DecoderNotice* Notice = nullptr;
    QCheckBox* AlertCheck = nullptr;
    QCheckBox* AlertSoundCheck = nullptr;
    QLabel* AlertAnnouncement = nullptr;
    QAction* mnuUDPport = nullptr;
    QAction* mnuDecoders = nullptr;
    QAction* mnuShowDT = nullptr;
    QAction* mnuShowDB = nullptr;
    QAction* mnuShowMessage = nullptr;
    UdpListener* UDPSocket = nullptr;

    // Makes every control, each with its object name, in form.
    void setupUi(QMainWindow& form);
    // Every control at its designed place, the grids with their designed columns; the grids
    // must have their models.
    void placeControls();
};
