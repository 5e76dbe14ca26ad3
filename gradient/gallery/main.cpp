// gradient_gallery: every pattern style in a grid and every shape with a border, to
// compare with their descriptions. "gradient_gallery FILE.png" saves itself and quits.
#include "gradient/Gradient.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaEnum>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Entry 0 navy, entry 255 light orange: the two ends of every style are easy to tell.
constexpr TColor galleryBegin = RGBToColor(0, 0, 128);
constexpr TColor galleryEnd = RGBToColor(255, 214, 120);
constexpr QSize cellSize(140, 96);

QWidget *labelled(TGradient *gradient, const char *text)
{
    auto *cell = new QWidget;
    auto *layout = new QVBoxLayout(cell);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(gradient, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QString::fromLatin1(text)), 0, Qt::AlignHCenter);
    return cell;
}

TGradient *createGradient(QSize size, TGradientStyle style)
{
    auto *gradient = new TGradient;
    gradient->setFixedSize(size);
    gradient->BeginUpdate();
    gradient->SetColorBegin(galleryBegin);
    gradient->SetColorEnd(galleryEnd);
    gradient->SetStyle(style);
    gradient->EndUpdate();
    return gradient;
}

QWidget *createStyleGrid()
{
    auto *grid = new QWidget;
    auto *layout = new QGridLayout(grid);
    const QMetaEnum styles = QMetaEnum::fromType<TGradientStyle>();
    for (int style = gsRadialC; style <= gsRadialRect; ++style) {
        const int cell = style - gsRadialC;
        TGradient *gradient = createGradient(cellSize, TGradientStyle(style));
        layout->addWidget(labelled(gradient, styles.valueToKey(style)), cell / 6, cell % 6);
    }
    return grid;
}

QWidget *createShapeRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    const QMetaEnum shapes = QMetaEnum::fromType<TShapeType>();
    for (int shape = stRectangle; shape <= stCircle; ++shape) {
        TGradient *gradient = createGradient(cellSize, gsRadialC);
        gradient->SetShape(TShapeType(shape));
        gradient->SetBorderWidth(4);
        gradient->SetBorderColor(RGBToColor(160, 0, 0));
        layout->addWidget(labelled(gradient, shapes.valueToKey(shape)));
    }
    return row;
}

// The splash window's background: white centre, caption-gradient colour at the corners.
QWidget *createSplashSample()
{
    auto *gradient = new TGradient;
    gradient->setFixedSize(333, 129);
    gradient->BeginUpdate();
    gradient->SetColorBegin(clGradientActiveCaption);
    gradient->SetColorEnd(clWhite);
    gradient->SetReverse(true);
    gradient->SetStyle(gsDiamond);
    gradient->EndUpdate();
    return labelled(gradient, "splash: gsDiamond, Reverse");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Gradient gallery"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(createStyleGrid());
    layout->addWidget(createShapeRow());
    layout->addWidget(createSplashSample());
    window.show();
    if (argc > 1) {
        const QString file = QString::fromLocal8Bit(argv[1]);
        QTimer::singleShot(500, &window, [&window, file] {
            window.grab().save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
