#include "app/frmAbout.h"

#include "Version.h"
#include "app/ControlFactory.h"
#include "app/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tavorin {

namespace {

constexpr int clientWidth = 5775;
// The controls end 860 twips below the top; a margin below the last separator.
constexpr int clientHeight = 1080;

QFont titleFont(double pointSize)
{
    QFont font = gothicFont(pointSize);
    font.setItalic(true);
    return font;
}

// One etched separator: a grey line over a white line of width 2.
void addEtchedLine(QWidget* parent, int left, int right, int top)
{
    const struct {
        QColor colour;
        int offset;
        int height;
    } strokes[] = {{QColor(128, 128, 128), 0, 1}, {QColor(255, 255, 255), 1, 2}};
    for (const auto& stroke : strokes) {
        auto* line = new QFrame(parent);
        line->setObjectName(QStringLiteral("Line1"));
        line->setGeometry(twipsToPixels(left), twipsToPixels(top) + stroke.offset, twipsToPixels(right - left),
                          stroke.height);
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, stroke.colour);
        line->setPalette(palette);
    }
}

} // namespace

QString versionText()
{
    return QStringLiteral("Ver %1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionPatch);
}

frmAbout::frmAbout(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
    buildControls();
    fill();
}

void frmAbout::buildControls()
{
    picIcon = new QLabel(this);
    placeControl(picIcon, QStringLiteral("picIcon"), {240, 240, 540, 540});
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/tavorin-32.png")));

    lblTitle = new QLabel(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ"), this);
    placeControl(lblTitle, QStringLiteral("lblTitle"), {1080, 225, 2805, 240});
    lblTitle->setFont(titleFont(12));
    QPalette black = lblTitle->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblTitle->setPalette(black);

    lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    placeControl(lblVersion, QStringLiteral("lblVersion"), {1530, 600, 2685, 225});
    lblVersion->setFont(titleFont(11.25));

    cmdOK = makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("O  K"), {4320, 72, 1380, 345}, font());
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    addEtchedLine(this, 960, 3205, 482);
    addEtchedLine(this, 1440, 2652, 840);
}

void frmAbout::fill()
{
    const QString title = QStringLiteral("Tavorin");
    setWindowTitle(title + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(versionText());
    lblTitle->setText(title);
}

} // namespace tavorin
