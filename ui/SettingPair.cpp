#include "ui/SettingPair.h"

#include "core/Numbers.h"
#include "platform/ShowError.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace corvane {

SettingPair::SettingPair(AppContext& app, const Definition& definition, QWidget* frame, int topTwips)
    : QObject(frame), app_(app), definition_(definition)
{
    setObjectName(definition.name);
    label_ = new QLabel(definition.caption, frame);
    label_->setObjectName(definition.labelName.isEmpty() ? definition.name + QStringLiteral("_Label")
                                                         : definition.labelName);
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_->setGeometry(twipsRect(240, topTwips, 1035, 315, *frame));

    slider_ = new QScrollBar(Qt::Horizontal, frame);
    slider_->setObjectName(definition.name + QStringLiteral("_HScroll"));
    slider_->setRange(definition.minimum, definition.maximum);
    slider_->setSingleStep(1);
    slider_->setPageStep(definition.largeStep);
    slider_->setValue(definition.initial);
    // No change while the thumb is dragged; one change when it is released.
    slider_->setTracking(false);
    // Reached by Tab, so that the arrow keys move it.
    slider_->setFocusPolicy(Qt::StrongFocus);
    slider_->setGeometry(twipsRect(1380, topTwips, 1695, 315, *frame));

    box_ = new QLineEdit(QString::number(definition.initial), frame);
    box_->setObjectName(definition.name + QStringLiteral("_Text"));
    box_->setGeometry(twipsRect(3180, topTwips, 495, 315, *frame));

    connect(slider_, &QScrollBar::valueChanged, this, &SettingPair::HScroll_Change);
    connect(box_, &QLineEdit::textChanged, this, &SettingPair::Text_Change);
}

void SettingPair::rewriteBox(const QString& text)
{
    if (box_->text() == text)
        return;
    box_->setText(text);
    // Rewritten while the user types in it: the next key replaces the new
    // text instead of adding to it.
    if (box_->hasFocus())
        box_->selectAll();
}

void SettingPair::HScroll_Change()
{
    trapFaults(app_.platform, [this] {
        const int v = slider_->value();
        if (numberFromText(box_->text()) != v)
            rewriteBox(QString::number(v));
        app_.store.table.current().*definition_.field = v;
    });
}

void SettingPair::Text_Change()
{
    trapFaults(app_.platform, [this] {
        const double t = numberFromText(box_->text());
        if (t < definition_.minimum) {
            slider_->setValue(definition_.minimum);
        } else if (t > definition_.maximum) {
            slider_->setValue(definition_.maximum);
        } else if (definition_.rule == Rule::Speed) {
            const std::int16_t whole = strictToInt16(box_->text());
            rewriteBox(QString::number(whole));
            slider_->setValue(toInt32(numberFromText(box_->text())));
        } else {
            slider_->setValue(toInt32(t));
        }
    });
}

} // namespace corvane
