#include "ui/HelpForm.h"

#include "ui/HelpText.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMoveEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>

namespace corvane {

namespace {

// Geometry in twips. The window's first size is also its smallest.
constexpr int kMinWidth = 7995;
constexpr int kMinHeight = 5460;
constexpr int kBoxLeft = 120;
constexpr int kBoxTop = 120;
// What the text box's size falls short of the window's outer size.
constexpr int kWidthAllowance = 360;
constexpr int kHeightAllowance = 750;

} // namespace

HelpForm::HelpForm(QWidget* parent) : QWidget(parent, Qt::Window), textBox_(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Corvane_HelpForm"));
    setWindowTitle(tr("Corvane Information"));
    // Escape closes the window, as its close button does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    textBox_->setObjectName(QStringLiteral("TextBox"));
    textBox_->setAccessibleName(tr("Information"));
    // Long lines wrap at the window's width, so that none is cut at the right edge.
    textBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The documentation lines up in columns and under rule lines of 80
    // characters: the fixed font is made small enough for them to fit the box
    // at the window's smallest size.
    const QRect box = twipsRect(kBoxLeft, kBoxTop, kMinWidth - kWidthAllowance, kMinHeight - kHeightAllowance, *this);
    const int room = box.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2 * textBox_->frameWidth()
                   - 2 * static_cast<int>(textBox_->document()->documentMargin()) - 2;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    while (fixed.pointSizeF() > 6 && QFontMetrics(fixed).horizontalAdvance(QString(80, u'=')) > room)
        fixed.setPointSizeF(fixed.pointSizeF() - 0.5);
    textBox_->setFont(fixed);

    QPalette palette = textBox_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Base, palette.brush(group, QPalette::Button));
    textBox_->setPalette(palette);

    textBox_->setPlainText(helpText());
    // Read-only, but the user can still select the text and move through it
    // with the keyboard.
    textBox_->setReadOnly(true);
    textBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    textBox_->setGeometry(box);
}

void HelpForm::showHelp()
{
    if (!isVisible())
        show();
}

void HelpForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
        firstSizeWithoutFrame_ = frameGeometry().size() == size();
    }
    // Every showing counts as a change of size, also when the size is the same.
    Form_Resize();
}

void HelpForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (loaded_)
        Form_Resize();
}

void HelpForm::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (!loaded_ || !isVisible())
        return;
    // On X11 the border and title bar become known only once the window
    // manager has framed the window, which shows as a move. The first size
    // is an outer size, so it is taken again then.
    if (firstSizeWithoutFrame_ && frameGeometry().size() != size()) {
        firstSizeWithoutFrame_ = false;
        takeFirstSize();
    }
    // The outer size can change without a resize of the window's inside.
    if (outerSize() != lastOuterSize_)
        Form_Resize();
}

void HelpForm::closeEvent(QCloseEvent* event)
{
    hide();
    event->ignore();
}

void HelpForm::Form_Load() { takeFirstSize(); }

void HelpForm::takeFirstSize()
{
    setOuterWidth(twipsX(kMinWidth, *this));
    setOuterHeight(twipsY(kMinHeight, *this));
}

void HelpForm::Form_Resize()
{
    if (isMinimized())
        return;

    const int minHeight = twipsY(kMinHeight, *this);
    if (outerSize().height() < minHeight)
        setOuterHeight(minHeight); // runs Form_Resize again, which sizes the box
    else
        textBox_->resize(textBox_->width(), outerSize().height() - twipsY(kHeightAllowance, *this));

    const int minWidth = twipsX(kMinWidth, *this);
    if (outerSize().width() < minWidth)
        setOuterWidth(minWidth);
    else
        textBox_->resize(outerSize().width() - twipsX(kWidthAllowance, *this), textBox_->height());

    textBox_->move(twipsX(kBoxLeft, *this), twipsY(kBoxTop, *this));
    lastOuterSize_ = outerSize();
}

QSize HelpForm::outerSize() const { return frameGeometry().size(); }

void HelpForm::setOuterWidth(int pixels)
{
    const int frameWidth = frameGeometry().width() - width();
    resize(pixels - frameWidth, height());
}

void HelpForm::setOuterHeight(int pixels)
{
    const int frameHeight = frameGeometry().height() - height();
    resize(width(), pixels - frameHeight);
}

} // namespace corvane
