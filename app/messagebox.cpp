#include "app/messagebox.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>

namespace {

// A message box is never wider than this, whatever its text asks (beyond it the text would be
// cut off at the box's edge): the width of a small screen less room for the frame, on a wider
// one the width less 480 pixels, at most 1000.
constexpr int kSmallScreenWidth = 1024;
constexpr int kFrameRoom = 40;
constexpr int kWideScreenMargin = 480;
constexpr int kWidestBox = 1000;

int WidestBox(const QScreen& screen) {
    const int width = screen.availableGeometry().width();
    return width <= kSmallScreenWidth ? width - kFrameRoom
                                      : qMin(width - kWideScreenMargin, kWidestBox);
}

// A break of zero width: shown as nothing, taken by line breaking as a place to break.
constexpr QChar kBreak(0x200B);
// Runs without blanks up to this length wrap as words do.
constexpr int kLongRun = 30;

bool IsSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('_') ||
           c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char(',');
}

// Lets a run without blanks break after its separators, and every kLongRun characters where
// it has none; a surrogate pair is never split.
QString BreakableRun(QStringView run) {
    if (run.size() <= kLongRun) {
        return run.toString();
    }
    QString out;
    int sinceBreak = 0;
    for (qsizetype i = 0; i < run.size(); ++i) {
        out += run[i];
        ++sinceBreak;
        const bool last = i + 1 == run.size();
        if (!last && !run[i].isHighSurrogate() && (IsSeparator(run[i]) || sinceBreak >= kLongRun)) {
            out += kBreak;
            sinceBreak = 0;
        }
    }
    return out;
}

// The text with a place to break after each separator of a long run without blanks (and within
// a run that has none); it reads the same.
QString Breakable(const QString& text) {
    QString out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i].isSpace()) {
            out += BreakableRun(QStringView(text).sliced(start, i - start));
            if (i < text.size()) {
                out += text[i];
            }
            start = i + 1;
        }
    }
    return out;
}

}  // namespace

MessageBox::MessageBox(Icon icon, const QString& title, const QString& text,
                       StandardButtons buttons, QWidget* parent)
    : QMessageBox(icon, title, QString(), buttons, parent) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setTextFormat(Qt::PlainText);  // a file name such as "<year>.txt" is not markup
    setText(Breakable(shown));
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!label || !screen || !shown.contains(QLatin1Char('\n'))) {
        return;  // one paragraph: the box wraps it by itself
    }
    // A text laid out in lines of its own keeps them, rather than being wrapped again with single
    // words left over: the text is as wide as its longest line, as far as the box can grow.
    int longest = 0;
    for (const QString& line : shown.split(QLatin1Char('\n'))) {
        longest = qMax(longest, label->fontMetrics().horizontalAdvance(line));
    }
    const int slack = label->fontMetrics().averageCharWidth() * 2;
    label->setMinimumWidth(longest + slack);
    const int excess = layout()->totalMinimumSize().width() - WidestBox(*screen);
    if (excess > 0) {
        label->setMinimumWidth(qMax(0, label->minimumWidth() - excess));
    }
}
