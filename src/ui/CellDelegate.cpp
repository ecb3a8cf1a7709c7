#include "ui/CellDelegate.h"

#include "browse/ArticleGridModel.h"
#include "core/Cp1252.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>

namespace {

class Cp1252Validator final : public QValidator
{
public:
    Cp1252Validator(const CellDelegate *delegate, QObject *parent)
        : QValidator(parent), m_delegate(delegate)
    {
    }
    State validate(QString &input, int &) const override
    {
        if (Cp1252::canEncode(input))
            return Acceptable;
        emit const_cast<CellDelegate *>(m_delegate)->characterRefused();
        return Invalid;
    }

private:
    const CellDelegate *m_delegate;
};

QIcon ellipsisIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3A, 0x4A, 0x5C));
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPointF(3.5 + i * 4.5, 11.5), 1.4, 1.4);
    return QIcon(pixmap);
}

} // namespace

CellDelegate::CellDelegate(RuleFor rule, QObject *parent)
    : QStyledItemDelegate(parent), m_rule(std::move(rule))
{
}

QColor CellDelegate::changedCellTint(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor amber(0xFF, 0xB0, 0x20);
    constexpr float kShare = 0.32f;
    auto mix = [](float from, float to) { return from + (to - from) * kShare; };
    return QColor::fromRgbF(mix(base.redF(), amber.redF()), mix(base.greenF(), amber.greenF()),
                            mix(base.blueF(), amber.blueF()));
}

void CellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(ArticleGridModel::CellChangedRole).toBool())
        option->backgroundBrush = changedCellTint(option->palette);
}

QWidget *CellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                    const QModelIndex &index) const
{
    const GridRules::EditRule rule = m_rule(index.column());
    if (!rule.allowed)
        return nullptr;
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (rule.maxLength > 0)
        editor->setMaxLength(rule.maxLength);
    editor->setValidator(new Cp1252Validator(this, editor));
    if (rule.ellipsis) {
        QAction *button = editor->addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
        button->setToolTip(QStringLiteral("Välj..."));
        const int row = index.row() + 1;
        const int column = index.column();
        connect(button, &QAction::triggered, this, [this, row, column] {
            emit const_cast<CellDelegate *>(this)->ellipsisClicked(row, column);
        });
    }
    return editor;
}

void CellDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    const auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line || line->actions().isEmpty())
        return;
    // The room QLineEdit gives a trailing action: its icon, padding and a quarter icon margin.
    const int iconSize = editor->height() < 34 ? 16 : 32;
    QRect rect = editor->geometry();
    rect.setWidth(rect.width() + iconSize + 6 + iconSize / 4);
    editor->setGeometry(rect);
}
