#include "dialogs/AboutDialog.h"

#include "ui/Icons.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include <sqlite3.h>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Om Ravelund"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(Icons::applicationLarge().pixmap(QSize(64, 64)));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    QLabel *title = makeLabel(this, "lblTitle", QStringLiteral("Ravelund"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    QLabel *version = makeLabel(this, "lblVersion",
                                QStringLiteral("Version %1").arg(QLatin1String(KVISTBO_VERSION)));

    QLabel *description = makeLabel(
        this, "lblDescription",
        QStringLiteral("Redigerare för artikelkataloger: importerar TDS-filer till en "
                       "arbetsdatabas, låter dig bläddra bland och redigera artiklarna och "
                       "exporterar tillbaka till TDS."));
    description->setWordWrap(true);

    QLabel *project = makeLabel(this, "lblProject", QStringLiteral("Kvistbo"));

    QLabel *libraries =
        makeLabel(this, "lblLibraries",
                  QStringLiteral("Qt %1 · SQLite %2")
                      .arg(QLatin1String(qVersion()), QLatin1String(sqlite3_libversion())));
    QFont smallFont = libraries->font();
    smallFont.setPointSizeF(smallFont.pointSizeF() * 0.85);
    libraries->setFont(smallFont);
    // A fixed mid grey: every colour scheme has a light window colour.
    QPalette grey = libraries->palette();
    grey.setColor(QPalette::WindowText, QColor(0x69, 0x72, 0x7D));
    libraries->setPalette(grey);

    auto *text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addSpacing(8);
    text->addWidget(project);
    text->addWidget(libraries);
    text->addStretch();

    auto *body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(icon, 0, Qt::AlignTop);
    body->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->setSpacing(16);
    layout->addLayout(body);
    layout->addWidget(buttons);

    description->setMinimumWidth(320);
    setSizeGripEnabled(false);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
