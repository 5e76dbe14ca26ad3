// The about box: the product picture, name and version, and the web page
// address of the product.
#pragma once

#include <QDialog>

class QLabel;

// The product's web page address, shown by the about box and the splash.
QString ProductWebAddress();

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    TAboutBox(const QString &productName, const QString &version, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void AboutOKButtonClick();

    QString productName_;
    QString version_;
    QLabel *ProductNameLabel = nullptr;
    QLabel *LabelVersionBuild = nullptr;
};
