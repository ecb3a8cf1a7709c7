#pragma once

#include <QDialog>

// "Om Ravelund": the program's icon, title, version, purpose and the library versions in use,
// with the system information behind a button.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

private:
    // The program, library and platform versions in a small window, to copy into a report.
    void showSystemInformation();
};

// Those versions as text, one per line.
QString systemInformation();
