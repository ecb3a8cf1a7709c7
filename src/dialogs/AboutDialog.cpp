#include "dialogs/AboutDialog.h"

#include "ui/Icons.h"
#include "ui/WindowPlacement.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QVBoxLayout>

#include <sqlite3.h>
#include <unicode/uversion.h>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

QString systemInformation()
{
    UVersionInfo icu{};
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(icu, icuText);
    const QScreen *screen = QGuiApplication::primaryScreen();
    QStringList lines = {
        QStringLiteral("Ravelund %1").arg(QLatin1String(KVISTBO_VERSION)),
        QStringLiteral("Qt %1 (byggt med %2)")
            .arg(QLatin1String(qVersion()), QLatin1String(QT_VERSION_STR)),
        QStringLiteral("SQLite %1").arg(QLatin1String(sqlite3_libversion())),
        QStringLiteral("ICU %1").arg(QLatin1String(icuText)),
        QStringLiteral("System: %1 (%2, %3)")
            .arg(QSysInfo::prettyProductName(),
                 QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion(),
                 QSysInfo::currentCpuArchitecture()),
        QStringLiteral("Grafik: %1").arg(QGuiApplication::platformName()),
    };
    if (screen)
        lines << QStringLiteral("Skärm: %1 × %2 bildpunkter, %3 dpi")
                     .arg(screen->size().width())
                     .arg(screen->size().height())
                     .arg(qRound(screen->logicalDotsPerInch()));
    return lines.join(QLatin1Char('\n'));
}

void AboutDialog::showSystemInformation()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmSysInfo"));
    dialog.setWindowTitle(QStringLiteral("Systeminformation"));
    auto *text = new QPlainTextEdit(systemInformation(), &dialog);
    text->setObjectName(QStringLiteral("txtSysInfo"));
    text->setAccessibleName(QStringLiteral("Systeminformation"));
    text->setReadOnly(true);
    text->setMinimumSize(440, 160);
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *close = buttons->addButton(QStringLiteral("Stäng"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.exec();
}

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    removeMinMaxButtons(this);
    setWindowTitle(QStringLiteral("Om Ravelund"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(Icons::application().pixmap(QSize(64, 64)));
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
    QPushButton *info =
        buttons->addButton(QStringLiteral("&Systeminformation..."), QDialogButtonBox::ActionRole);
    info->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(info, &QPushButton::clicked, this, &AboutDialog::showSystemInformation);
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
