// The read-only view of a report (Memo1 of the results window). It reads the
// lines it paints from the report itself and paints only those in sight, so a
// report of any length opens and scrolls at once.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace quarnel {
class Report;
}

class ReportView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // A place in the text: a line (from 0) and a column, in characters of the
    // line's text, before which the place lies.
    struct TextPosition {
        std::uint64_t line = 0;
        int column = 0;
        friend auto operator<=>(const TextPosition&, const TextPosition&) = default;
    };

    // A larger selection is not copied: its text would not fit in memory
    // comfortably, nor be of use on the clipboard.
    static constexpr std::uint64_t kCopyLimitBytes = std::uint64_t{64} << 20;

    explicit ReportView(QWidget* parent = nullptr);
    ~ReportView() override;

    // Shows `report`, which is not owned and must outlive the view or be
    // replaced first; null shows nothing. The view becomes the report's
    // change listener.
    void SetReport(quarnel::Report* report);
    [[nodiscard]] quarnel::Report* GetReport() const;

    // Takes in lines appended or removed since the view last looked. Called by
    // the report's change listener; match lines, which do not call it, are
    // taken in on the next refresh or paint.
    void Refresh();

    void SelectAll();
    // Selects from `anchor` to `cursor` (either order) and puts the caret at
    // `cursor`, scrolling it into sight.
    void SetSelection(TextPosition anchor, TextPosition cursor);
    [[nodiscard]] TextPosition Anchor() const;
    [[nodiscard]] TextPosition Cursor() const;
    [[nodiscard]] bool HasSelection() const;

    // The selected text, its lines joined by "\n"; nullopt when it would be
    // larger than kCopyLimitBytes.
    [[nodiscard]] std::optional<QString> SelectedText() const;
    // Puts the selected text on the clipboard; emits CopyRefused instead when
    // the selection is too large. An empty selection changes nothing.
    void Copy();

    // The first line in sight.
    [[nodiscard]] std::uint64_t TopLine() const;
    void ScrollToLine(std::uint64_t line);

signals:
    void CopyRefused();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    [[nodiscard]] QString LineText(std::uint64_t line) const;
    [[nodiscard]] int LineHeight() const;
    [[nodiscard]] std::uint64_t VisibleLines() const;
    [[nodiscard]] std::uint64_t MaxTopLine() const;
    [[nodiscard]] TextPosition PositionAt(QPoint point) const;
    [[nodiscard]] TextPosition EndOfText() const;
    [[nodiscard]] int ColumnX(const QString& text, int column) const;
    [[nodiscard]] bool HandleMoveKey(QKeyEvent* event);
    void MoveCursor(TextPosition to, bool extend);
    void EnsureCursorVisible();
    void UpdateScrollBars();
    void SetTopLine(std::uint64_t line);

    quarnel::Report* m_report = nullptr;
    std::uint64_t m_lineCount = 0;
    std::size_t m_longestLine = 0;
    std::uint64_t m_topLine = 0;
    TextPosition m_anchor;
    TextPosition m_cursor;
    bool m_settingScrollBar = false;
    bool m_dragging = false;
};
