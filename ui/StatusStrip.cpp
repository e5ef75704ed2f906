#include "ui/StatusStrip.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace corvane {

namespace {

// The words that fit on one line of `width`, and the rest.
std::pair<QString, QString> firstLine(const QString& text, const QFontMetrics& metrics, int width)
{
    const QStringList words = text.split(QLatin1Char(' '));
    QString line;
    qsizetype used = 0;
    for (; used < words.size(); ++used) {
        const QString longer = line.isEmpty() ? words[used] : line + QLatin1Char(' ') + words[used];
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width)
            break;
        line = longer;
    }
    return {line, words.mid(used).join(QLatin1Char(' '))};
}

} // namespace

QIcon statusIcon(StatusKind kind)
{
    QStyle* style = QApplication::style();
    switch (kind) {
    case StatusKind::Stopped:
        return style->standardIcon(QStyle::SP_MediaPause);
    case StatusKind::Searching:
        return style->standardIcon(QStyle::SP_BrowserReload);
    case StatusKind::Tracking:
        return style->standardIcon(QStyle::SP_MediaPlay);
    case StatusKind::Problem:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxWarning);
}

StatusStrip::StatusStrip(QWidget* parent)
    : QWidget(parent), icon_(new QLabel(this)), text_(new QLabel(this)), details_(new QLabel(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    icon_->setAlignment(Qt::AlignCenter);
    text_->setTextFormat(Qt::PlainText);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    details_->setText(QStringLiteral("<a href=\"details\">%1</a>").arg(tr("Details").toHtmlEscaped()));
    details_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(details_, &QLabel::linkActivated, this, &StatusStrip::detailsAsked);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(icon_);
    row->addWidget(text_, 1);
    row->addWidget(details_, 0, Qt::AlignBottom);
}

void StatusStrip::showStatus(const Status& status)
{
    status_ = status;
    const int side = fontMetrics().height();
    icon_->setPixmap(statusIcon(status.kind).pixmap(side, side));
    setToolTip(status.text);
    setAccessibleDescription(status.text);
    fitText();
}

QString StatusStrip::shownText() const { return text_->text(); }

void StatusStrip::fitText()
{
    // Two lines at most: the second ends in an ellipsis when the sentence is longer.
    const QFontMetrics metrics(text_->font());
    const int width = std::max(text_->width(), metrics.averageCharWidth() * 8);
    const auto [first, rest] = firstLine(status_.text, metrics, width);
    text_->setText(rest.isEmpty() ? first
                                  : first + QLatin1Char('\n') + metrics.elidedText(rest, Qt::ElideRight, width));
}

void StatusStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitText();
}

void StatusStrip::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    emit detailsAsked();
}

void StatusStrip::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit detailsAsked();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

StatusDetails::StatusDetails(QWidget* parent) : QDialog(parent), text_(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Corvane Status"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(tr("Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("Copy_Command"));
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(text_);
    column->addWidget(buttons);
    resize(560, 380);
}

void StatusDetails::showText(const QString& text)
{
    text_->setPlainText(text);
    show();
    raise();
    activateWindow();
}

QString StatusDetails::text() const { return text_->toPlainText(); }

} // namespace corvane
