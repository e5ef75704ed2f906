#pragma once
// A numeric setting edited through a slider and a number box beside it. The
// slider holds the value within its bounds and writes it into the current
// profile; the number box shows it and lets the user type one.
#include "engine/AppContext.h"
#include "profiles/Profile.h"

#include <QObject>

class QLabel;
class QLineEdit;
class QScrollBar;
class QWidget;

namespace corvane {

class SettingPair : public QObject {
    Q_OBJECT
public:
    enum class Rule { Common, Speed };
    struct Definition {
        QString name;    // "Magnetic": controls Magnetic_Label, _HScroll, _Text
        QString caption; // the row's label
        qint32 Profile::*field;
        int minimum, maximum, largeStep, initial;
        Rule rule;
        QString labelName = {}; // when the label's name is not name + "_Label"
    };

    // Creates the row's label, slider and box in `frame` at the row's top (twips).
    SettingPair(AppContext& app, const Definition& definition, QWidget* frame, int topTwips);

    QLabel* label() const { return label_; }
    QScrollBar* slider() const { return slider_; }
    QLineEdit* box() const { return box_; }
    const Definition& definition() const { return definition_; }

    // The slider's value changed: write the box back when its number differs,
    // and store the value into the current profile.
    void HScroll_Change();
    // The box's text changed: move the slider (the speed rule first turns the
    // text into a whole number, or reports a type mismatch).
    void Text_Change();

private:
    void rewriteBox(const QString& text);

    AppContext& app_;
    Definition definition_;
    QLabel* label_;
    QScrollBar* slider_;
    QLineEdit* box_;
};

} // namespace corvane
