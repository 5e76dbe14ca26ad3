// The about box: the product picture, name and version, and the web page
// address of the product.
#include "ui/window/AboutBox.h"

#include "ui/common/Fonts.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

QString ProductWebAddress()
{
    return QStringLiteral("www.tavorine.example.org");
}

TAboutBox::TAboutBox(const QString &productName, const QString &version, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      productName_(productName), version_(version)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos de..."));
    setFixedSize(330, 154);
    setAutoFillBackground(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    silver.setColor(QPalette::WindowText, Qt::black);
    setPalette(silver);
    setFont(TahomaFont(11));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("AboutImage1"));
    picture->setGeometry(0, 1, 128, 128);
    picture->setPixmap(QIcon(QStringLiteral(":/images/product.svg")).pixmap(128, 128));
    picture->setAccessibleName(QStringLiteral("Image de Tavorine"));

    ProductNameLabel = new QLabel(this);
    ProductNameLabel->setObjectName(QStringLiteral("ProductNameLabel"));
    ProductNameLabel->setGeometry(128, 8, 190, 25);
    ProductNameLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont nameFont = TahomaFont(16);
    nameFont.setBold(true);
    ProductNameLabel->setFont(nameFont);

    LabelVersionBuild = new QLabel(this);
    LabelVersionBuild->setObjectName(QStringLiteral("LabelVersionBuild"));
    LabelVersionBuild->setGeometry(128, 30, 190, 14);
    LabelVersionBuild->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont versionFont = TahomaFont(11);
    versionFont.setItalic(true);
    LabelVersionBuild->setFont(versionFont);

    // The address is shown as a link but does nothing when clicked.
    auto *address = new QLabel(ProductWebAddress(), this);
    address->setObjectName(QStringLiteral("Label1"));
    address->setGeometry(128, 66, 190, 20);
    address->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont addressFont = TahomaFont(13);
    addressFont.setUnderline(true);
    address->setFont(addressFont);
    QPalette blue = address->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    address->setPalette(blue);
    address->setCursor(Qt::PointingHandCursor);

    auto *close = new QPushButton(QIcon(QStringLiteral(":/images/fermer.svg")), QStringLiteral(" &Fermer"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setGeometry(176, 98, 97, 25);
    close->setDefault(true);
    // The caption's leading space and mnemonic sign are for the eye only.
    close->setAccessibleName(QStringLiteral("Fermer"));
    connect(close, &QPushButton::clicked, this, &TAboutBox::AboutOKButtonClick);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TAboutBox::FormShow()
{
    LabelVersionBuild->setText(QStringLiteral("Version ") + version_);
    ProductNameLabel->setText(productName_);
    // Screen readers read a dialog's own labels only when they hold three
    // words or more; the box says what they show in its description.
    setAccessibleDescription(QStringList({ProductNameLabel->text(), LabelVersionBuild->text(), ProductWebAddress()})
                                 .join(QStringLiteral(", ")));
}

void TAboutBox::AboutOKButtonClick()
{
    accept();
}
