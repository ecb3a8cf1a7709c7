#pragma once

#include <QDialog>

// "Om Ravelund": the program's icon, title, version, purpose and the library versions in use.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
};
