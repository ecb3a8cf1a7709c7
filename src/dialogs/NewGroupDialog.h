#pragma once

#include "edit/NewGroup.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class Database;
class Prompter;
class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSlider;

// "Inför ny artikelgrupp" (frmNewArticleGroup) and "Addera tillbehösgrupp" (frmNewAccGroup):
// a code, a description and a number of articles become a new group, written to the database
// at once. Run it modally; it stays open after each save so several groups can be added in a
// row. groupAdded() is emitted after every save, and anyGroupAdded() tells afterwards whether
// the group tree must be built again.
class NewGroupDialog : public QDialog
{
    Q_OBJECT

public:
    NewGroupDialog(Database &db, Prompter &prompter, bool accessoryGroup,
                   QWidget *parent = nullptr);

    bool anyGroupAdded() const { return m_anyGroupAdded; }

signals:
    void groupAdded(const QString &blockName);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    QLayout *numberRow();
    QLayout *buttonsLayout();
    QWidget *buildBlockNameFrame();
    // The used codes and the prefix label; false (reported) when they cannot be read.
    bool loadGroups(const QString &procedure);
    void validate();
    void specialClicked(QCheckBox *clicked);
    NewGroup::Special special() const;
    void save();

    Database &m_db;
    Prompter &m_prompter;
    const NewGroup::Kind m_kind;
    std::optional<QStringList> m_usedCodes;
    bool m_anyGroupAdded = false;

    QLabel *m_prefix = nullptr;
    QLineEdit *m_code = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_number = nullptr;
    QSlider *m_slider = nullptr;
    QCheckBox *m_fuse = nullptr;
    QCheckBox *m_terminal = nullptr;
    QLabel *m_error = nullptr;
    QLabel *m_prefixWarning = nullptr; // accessory groups only
    QString m_accessoryPrefix;
    QPushButton *m_save = nullptr;
};
