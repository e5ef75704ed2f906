#pragma once
#include <QSize>
#include <QWidget>

class QCloseEvent;
class QMoveEvent;
class QPlainTextEdit;
class QResizeEvent;
class QShowEvent;

namespace corvane {

// The information window "Corvane Information": a sizable top-level window
// whose only control, "TextBox", shows the user documentation. It is set up
// when first shown, never gets smaller than its first size, and closing it
// only hides it, so its text and scroll position stay for the next showing.
class HelpForm : public QWidget {
    Q_OBJECT

public:
    explicit HelpForm(QWidget* parent = nullptr);

    // Makes the window visible; when it is already visible nothing changes.
    void showHelp();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void takeFirstSize();

    // The window's outer size: title bar and border included, as far as the
    // window system has told us about them.
    QSize outerSize() const;
    void setOuterWidth(int pixels);
    void setOuterHeight(int pixels);

    QPlainTextEdit* textBox_;
    bool loaded_ = false;
    // Set while the first size was taken before the window system told us
    // the size of the border and title bar.
    bool firstSizeWithoutFrame_ = false;
    QSize lastOuterSize_;
};

} // namespace corvane
