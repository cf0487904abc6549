// A tab strip that shows every tab at once, wrapping onto further rows where
// one row is too narrow, as the form library's multi-line tab control does.
// Qt's QTabBar cannot: it scrolls its tabs behind arrow buttons instead.
#pragma once

#include <QRect>
#include <QStringList>
#include <QWidget>
#include <vector>

class QStyleOptionTab;

// Tabs only, with no pages: the widget paints its tabs and the panel frame
// below them, and other widgets lie on top of the panel. Tabs are laid out
// left to right, as many to a row as fit; when there is more than one row,
// each row is stretched to the full width, and the row holding the selected
// tab is always the one next to the panel (the others keep their order above
// it). Painted with the style's own tab and frame elements.
class TabStrip : public QWidget {
    Q_OBJECT
    // Set from the form description.
    Q_PROPERTY(QStringList tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(int tabIndex READ TabIndex WRITE SetTabIndex)

public:
    explicit TabStrip(QWidget* parent = nullptr);

    [[nodiscard]] QStringList Tabs() const { return m_tabs; }
    // Replaces the tabs; selects tab 0 (or none when empty). Raises no Changed.
    void SetTabs(const QStringList& tabs);

    // The selected tab, or -1 when there are no tabs.
    [[nodiscard]] int TabIndex() const { return m_tabIndex; }
    // Selects a tab from the program; out-of-range indexes are ignored. Raises
    // no Changed: that event is the user's alone.
    void SetTabIndex(int index);

    // Where the tabs stand now, in widget coordinates (for hit tests and tests).
    [[nodiscard]] int RowCount() const { return m_rowCount; }
    [[nodiscard]] QRect TabRect(int index) const;
    // The panel below the tabs: what the tabs' owner covers with its controls.
    [[nodiscard]] QRect DisplayRect() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    // After the user selected another tab, with the mouse or the arrow keys.
    void Changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Recomputes rows and tab rectangles from the font, width and selection.
    void Relayout();
    [[nodiscard]] int TabAt(const QPoint& pos) const;
    [[nodiscard]] int TabWidth(int index) const;
    [[nodiscard]] int RowHeight() const;
    void SelectByUser(int index);
    void InitTabOption(QStyleOptionTab* option, int index) const;

    QStringList m_tabs;
    int m_tabIndex = -1;
    int m_rowCount = 0;
    int m_tabsHeight = 0;           // height of all rows together
    std::vector<int> m_rowOfTab;    // layout row (0 = first filled) of each tab
    std::vector<QRect> m_tabRects;  // where each tab is painted
};
