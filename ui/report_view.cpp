// Paints the lines of a report in sight, and selects and copies its text.
#include "ui/report_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <limits>
#include <utility>

#include "core/cp932.h"
#include "core/report.h"

namespace {

// Space between the frame and the text, as an edit control leaves it.
constexpr int kMargin = 2;
// A scroll bar counts in int; a report may hold more lines than that.
constexpr std::uint64_t kScrollBarMax = std::numeric_limits<int>::max();

// value * numerator / denominator without overflow; denominator > 0.
std::uint64_t Scale(std::uint64_t value, std::uint64_t numerator, std::uint64_t denominator)
{
    __extension__ using Wide = unsigned __int128;
    return static_cast<std::uint64_t>(static_cast<Wide>(value) * numerator / denominator);
}

}  // namespace

ReportView::ReportView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

ReportView::~ReportView()
{
    if (m_report) m_report->SetChangeListener({});
}

void ReportView::SetReport(quarnel::Report* report)
{
    if (m_report) m_report->SetChangeListener({});
    m_report = report;
    m_lineCount = 0;
    if (m_report) m_report->SetChangeListener([this] { Refresh(); });
    Refresh();
}

quarnel::Report* ReportView::GetReport() const
{
    return m_report;
}

void ReportView::Refresh()
{
    const std::uint64_t count = m_report ? m_report->LineCount() : 0;
    if (count < m_lineCount || count == 0) {
        // Emptied: the old places mean nothing in the new text.
        m_anchor = m_cursor = TextPosition{};
        m_topLine = 0;
        horizontalScrollBar()->setValue(0);
    }
    m_lineCount = count;
    m_longestLine = m_report ? m_report->LongestLine() : 0;
    UpdateScrollBars();
    viewport()->update();
}

QString ReportView::LineText(std::uint64_t line) const
{
    if (!m_report || line >= m_lineCount) return {};
    return QString::fromStdString(quarnel::Cp932ToUtf8(m_report->Line(line)));
}

int ReportView::LineHeight() const
{
    return std::max(1, fontMetrics().height());
}

std::uint64_t ReportView::VisibleLines() const
{
    return static_cast<std::uint64_t>(std::max(1, viewport()->height() / LineHeight()));
}

std::uint64_t ReportView::MaxTopLine() const
{
    const std::uint64_t visible = VisibleLines();
    return m_lineCount > visible ? m_lineCount - visible : 0;
}

void ReportView::UpdateScrollBars()
{
    const std::uint64_t maxTop = MaxTopLine();
    QScrollBar* vertical = verticalScrollBar();
    m_settingScrollBar = true;
    vertical->setPageStep(static_cast<int>(std::min(VisibleLines(), kScrollBarMax)));
    vertical->setRange(0, static_cast<int>(std::min(maxTop, kScrollBarMax)));
    m_settingScrollBar = false;
    SetTopLine(m_topLine);

    // A CP932 character is one or two bytes and, in the report's font, one or
    // two half widths wide: the longest line in bytes gives the text's width.
    const int halfWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
    const std::uint64_t textWidth = static_cast<std::uint64_t>(m_longestLine) * halfWidth + 2 * kMargin;
    const std::uint64_t maxX = textWidth > static_cast<std::uint64_t>(viewport()->width())
                                   ? textWidth - viewport()->width()
                                   : 0;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(halfWidth);
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, static_cast<int>(std::min(maxX, kScrollBarMax)));
}

void ReportView::SetTopLine(std::uint64_t line)
{
    const std::uint64_t maxTop = MaxTopLine();
    m_topLine = std::min(line, maxTop);
    // Beyond the scroll bar's range its positions stand for evenly spread lines.
    const std::uint64_t value =
        maxTop <= kScrollBarMax
            ? m_topLine
            : Scale(m_topLine, kScrollBarMax, maxTop);
    m_settingScrollBar = true;
    verticalScrollBar()->setValue(static_cast<int>(value));
    m_settingScrollBar = false;
    viewport()->update();
}

void ReportView::scrollContentsBy(int, int)
{
    if (!m_settingScrollBar) {
        // The user moved a scroll bar.
        const std::uint64_t maxTop = MaxTopLine();
        const auto value = static_cast<std::uint64_t>(verticalScrollBar()->value());
        m_topLine = maxTop <= kScrollBarMax
                        ? value
                        : Scale(value, maxTop, kScrollBarMax);
    }
    viewport()->update();
}

std::uint64_t ReportView::TopLine() const
{
    return m_topLine;
}

void ReportView::ScrollToLine(std::uint64_t line)
{
    SetTopLine(line);
}

int ReportView::ColumnX(const QString& text, int column) const
{
    return fontMetrics().horizontalAdvance(text.left(column));
}

ReportView::TextPosition ReportView::PositionAt(QPoint point) const
{
    if (m_lineCount == 0) return {};
    const int row = point.y() < 0 ? -1 : point.y() / LineHeight();
    std::uint64_t line = m_topLine;
    if (row < 0) {
        line = m_topLine > 0 ? m_topLine - 1 : 0;
    } else {
        line = std::min(m_topLine + static_cast<std::uint64_t>(row), m_lineCount - 1);
    }
    const QString text = LineText(line);
    const int x = point.x() + horizontalScrollBar()->value() - kMargin;
    const QFontMetrics metrics = fontMetrics();
    int left = 0;
    int column = 0;
    for (; column < text.size(); ++column) {
        const int advance = metrics.horizontalAdvance(text.at(column));
        if (x < left + advance / 2) break;
        left += advance;
    }
    return {line, column};
}

ReportView::TextPosition ReportView::EndOfText() const
{
    if (m_lineCount == 0) return {};
    return {m_lineCount - 1, static_cast<int>(LineText(m_lineCount - 1).size())};
}

void ReportView::SelectAll()
{
    m_anchor = TextPosition{};
    m_cursor = EndOfText();
    viewport()->update();
}

void ReportView::SetSelection(TextPosition anchor, TextPosition cursor)
{
    m_anchor = anchor;
    MoveCursor(cursor, true);
}

ReportView::TextPosition ReportView::Anchor() const
{
    return m_anchor;
}

ReportView::TextPosition ReportView::Cursor() const
{
    return m_cursor;
}

bool ReportView::HasSelection() const
{
    return m_anchor != m_cursor;
}

std::optional<QString> ReportView::SelectedText() const
{
    const auto [first, last] = std::minmax(m_anchor, m_cursor);
    if (first == last || m_lineCount == 0) return QString();
    // Every line costs at least its line end: too many lines is too large
    // without reading them.
    if (last.line - first.line >= kCopyLimitBytes) return std::nullopt;
    QString text;
    std::uint64_t bytes = 0;
    for (std::uint64_t line = first.line; line <= last.line && line < m_lineCount; ++line) {
        const QString lineText = LineText(line);
        const int from = line == first.line ? std::min<int>(first.column, lineText.size()) : 0;
        const int to = line == last.line ? std::min<int>(last.column, lineText.size()) : lineText.size();
        const QString part = lineText.mid(from, std::max(0, to - from));
        bytes += static_cast<std::uint64_t>(part.size()) + 1;
        if (bytes > kCopyLimitBytes) return std::nullopt;
        text += part;
        if (line != last.line) text += QLatin1Char('\n');
    }
    return text;
}

void ReportView::Copy()
{
    if (!HasSelection()) return;
    const std::optional<QString> text = SelectedText();
    if (!text) {
        emit CopyRefused();
        return;
    }
    QApplication::clipboard()->setText(*text);
}

void ReportView::MoveCursor(TextPosition to, bool extend)
{
    if (m_lineCount == 0) {
        to = {};
    } else {
        to.line = std::min(to.line, m_lineCount - 1);
        to.column = std::clamp<int>(to.column, 0, static_cast<int>(LineText(to.line).size()));
    }
    m_cursor = to;
    if (!extend) m_anchor = to;
    EnsureCursorVisible();
    viewport()->update();
}

void ReportView::EnsureCursorVisible()
{
    const std::uint64_t visible = VisibleLines();
    if (m_cursor.line < m_topLine) {
        SetTopLine(m_cursor.line);
    } else if (m_cursor.line >= m_topLine + visible) {
        SetTopLine(m_cursor.line - visible + 1);
    }
    const int x = ColumnX(LineText(m_cursor.line), m_cursor.column) + kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    const int margin = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 2;
    if (x < horizontal->value()) {
        horizontal->setValue(std::max(0, x - margin));
    } else if (x > horizontal->value() + viewport()->width() - margin) {
        horizontal->setValue(x - viewport()->width() + margin);
    }
}

bool ReportView::HandleMoveKey(QKeyEvent* event)
{
    const std::uint64_t page = VisibleLines();
    const TextPosition at = m_cursor;
    const int lineLength = static_cast<int>(LineText(at.line).size());
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        TextPosition to;
    };
    TextPosition left = at;
    if (at.column > 0) {
        left.column = at.column - 1;
    } else if (at.line > 0) {
        left = {at.line - 1, static_cast<int>(LineText(at.line - 1).size())};
    }
    TextPosition right = at;
    if (at.column < lineLength) {
        right.column = at.column + 1;
    } else if (at.line + 1 < m_lineCount) {
        right = {at.line + 1, 0};
    }
    const Move moves[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, left},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, right},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine,
         {at.line > 0 ? at.line - 1 : 0, at.column}},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, {at.line + 1, at.column}},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, {at.line, 0}},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, {at.line, lineLength}},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage,
         {at.line > page ? at.line - page : 0, at.column}},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, {at.line + page, at.column}},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, {}},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, EndOfText()},
    };
    for (const Move& move : moves) {
        if (event->matches(move.move) || event->matches(move.select)) {
            MoveCursor(move.to, event->matches(move.select));
            return true;
        }
    }
    return false;
}

bool ReportView::event(QEvent* event)
{
    // Copy and select all belong to the view while it has the focus, before
    // any shortcut of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ReportView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (!HandleMoveKey(event)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReportView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    MoveCursor(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void ReportView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) return;
    // PositionAt gives the line above or below the view when the pointer has
    // left it, so dragging past an edge scrolls on.
    MoveCursor(PositionAt(event->position().toPoint()), true);
}

void ReportView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) m_dragging = false;
}

void ReportView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (steps == 0 || (event->modifiers() & Qt::ShiftModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // By lines, not scroll bar positions, which stand for many lines in a
    // report longer than the scroll bar counts.
    const std::uint64_t lines = static_cast<std::uint64_t>(std::abs(steps)) * QApplication::wheelScrollLines();
    SetTopLine(steps > 0 ? (m_topLine > lines ? m_topLine - lines : 0) : m_topLine + lines);
    event->accept();
}

void ReportView::focusInEvent(QFocusEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void ReportView::focusOutEvent(QFocusEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void ReportView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("コピー(&C)"), this, &ReportView::Copy);
    copy->setEnabled(HasSelection());
    menu.addSeparator();
    menu.addAction(QStringLiteral("すべて選択(&A)"), this, &ReportView::SelectAll);
    menu.exec(event->globalPos());
}

void ReportView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ReportView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    Refresh();
}

void ReportView::paintEvent(QPaintEvent*)
{
    if (m_report && m_report->LineCount() != m_lineCount) {
        // Match lines came in without a word: take them in after this paint.
        QTimer::singleShot(0, this, &ReportView::Refresh);
    }
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int height = LineHeight();
    const int left = kMargin - horizontalScrollBar()->value();
    const auto [first, last] = std::minmax(m_anchor, m_cursor);
    const QPalette& colours = palette();
    const int rows = viewport()->height() / height + 1;

    for (int row = 0; row < rows; ++row) {
        const std::uint64_t line = m_topLine + static_cast<std::uint64_t>(row);
        if (line >= m_lineCount) break;
        const QString text = LineText(line);
        const int top = row * height;
        const int baseline = top + metrics.ascent();
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(left, baseline, text);

        if (first != last && line >= first.line && line <= last.line) {
            const int from = line == first.line ? first.column : 0;
            const int x0 = left + ColumnX(text, from);
            // A selected line end shows as a half width past the text.
            const int x1 = line == last.line ? left + ColumnX(text, last.column)
                                             : left + metrics.horizontalAdvance(text) +
                                                   metrics.horizontalAdvance(QLatin1Char(' '));
            const QRect band(x0, top, std::max(0, x1 - x0), height);
            painter.fillRect(band, colours.brush(QPalette::Highlight));
            painter.save();
            painter.setClipRect(band);
            painter.setPen(colours.color(QPalette::HighlightedText));
            painter.drawText(left, baseline, text);
            painter.restore();
        }
        if (hasFocus() && line == m_cursor.line) {
            const int x = left + ColumnX(text, m_cursor.column);
            painter.fillRect(QRect(x, top, 1, height), colours.color(QPalette::Text));
        }
    }
}
