// The multi-row tab strip: layout in rows, painting through the style, and
// selection by mouse and keyboard.
#include "ui/tab_strip.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <algorithm>

namespace {

// Room at both sides for the style to draw a selected tab a little wider.
constexpr int kSideMargin = 2;
// Room above the top row for a selected tab drawn a little taller.
constexpr int kTopMargin = 2;
// Space around a caption inside its tab. The form was designed with the
// compact tabs of the original platform: two rows must fit above the controls
// that lie on the panel, 40 pixels below the strip's top edge at a 12-pixel
// font, which the styles' own (roomier) tab spacing would not.
constexpr int kCaptionHPadding = 6;
constexpr int kCaptionVPadding = 3;

}  // namespace

TabStrip::TabStrip(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MacShowFocusRect);
}

void TabStrip::SetTabs(const QStringList& tabs)
{
    m_tabs = tabs;
    if (m_tabs.isEmpty())
        m_tabIndex = -1;
    else if (m_tabIndex < 0 || m_tabIndex >= m_tabs.size())
        m_tabIndex = 0;
    Relayout();
    updateGeometry();
    update();
}

void TabStrip::SetTabIndex(int index)
{
    if (index < 0 || index >= m_tabs.size() || index == m_tabIndex)
        return;
    m_tabIndex = index;
    Relayout();
    update();
}

QRect TabStrip::TabRect(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_tabRects.size()))
        return {};
    return m_tabRects[static_cast<std::size_t>(index)];
}

QRect TabStrip::DisplayRect() const
{
    // The panel starts under the tabs, overlapping them by what the style
    // wants so that the selected tab joins the panel without a line between.
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = std::max(0, m_tabsHeight - overlap);
    return QRect(0, top, width(), std::max(0, height() - top));
}

int TabStrip::RowHeight() const
{
    return fontMetrics().height() + 2 * kCaptionVPadding;
}

int TabStrip::TabWidth(int index) const
{
    return fontMetrics().horizontalAdvance(m_tabs.at(index)) + 2 * kCaptionHPadding;
}

void TabStrip::Relayout()
{
    const int count = static_cast<int>(m_tabs.size());
    m_rowOfTab.assign(static_cast<std::size_t>(count), 0);
    m_tabRects.assign(static_cast<std::size_t>(count), QRect());
    m_rowCount = 0;
    m_tabsHeight = 0;
    if (count == 0)
        return;

    // Fill rows left to right; a tab wider than the whole row gets a row alone.
    const int available = std::max(1, width() - 2 * kSideMargin);
    std::vector<std::vector<int>> rows(1);
    int used = 0;
    for (int i = 0; i < count; ++i) {
        const int w = TabWidth(i);
        if (!rows.back().empty() && used + w > available) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += w;
    }
    m_rowCount = static_cast<int>(rows.size());

    // The row of the selected tab goes next to the panel; the rows after it
    // follow above, then those before it, so the order turns like a drum.
    const int rowHeight = RowHeight();
    int selectedRow = 0;
    for (int r = 0; r < m_rowCount; ++r) {
        const auto& row = rows[static_cast<std::size_t>(r)];
        if (std::find(row.begin(), row.end(), m_tabIndex) != row.end())
            selectedRow = r;
    }
    for (int r = 0; r < m_rowCount; ++r) {
        const auto& row = rows[static_cast<std::size_t>(r)];
        const int fromPanel = (r - selectedRow + m_rowCount) % m_rowCount;
        const int y = kTopMargin + (m_rowCount - 1 - fromPanel) * rowHeight;

        // With several rows, every row is stretched to the full width.
        int natural = 0;
        for (int i : row)
            natural += TabWidth(i);
        const int extra = m_rowCount > 1 ? std::max(0, available - natural) : 0;
        const int n = static_cast<int>(row.size());
        int x = kSideMargin;
        for (int k = 0; k < n; ++k) {
            const int i = row[static_cast<std::size_t>(k)];
            // Spread the extra evenly; the remainder goes to the last tabs.
            const int share = extra / n + (k >= n - extra % n ? 1 : 0);
            const int w = TabWidth(i) + share;
            m_rowOfTab[static_cast<std::size_t>(i)] = r;
            m_tabRects[static_cast<std::size_t>(i)] = QRect(x, y, w, rowHeight);
            x += w;
        }
    }
    m_tabsHeight = kTopMargin + m_rowCount * rowHeight;
}

QSize TabStrip::sizeHint() const
{
    int width = 2 * kSideMargin;
    for (int i = 0; i < m_tabs.size(); ++i)
        width += TabWidth(i);
    return {width, kTopMargin + RowHeight() * 3};
}

QSize TabStrip::minimumSizeHint() const
{
    int widest = 0;
    for (int i = 0; i < m_tabs.size(); ++i)
        widest = std::max(widest, TabWidth(i));
    return {widest + 2 * kSideMargin, kTopMargin + RowHeight()};
}

void TabStrip::InitTabOption(QStyleOptionTab* option, int index) const
{
    option->initFrom(this);
    option->state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    option->rect = TabRect(index);
    option->text = m_tabs.at(index);
    option->shape = QTabBar::RoundedNorth;
    if (index == m_tabIndex) {
        option->state |= QStyle::State_Selected;
        if (hasFocus())
            option->state |= QStyle::State_HasFocus;
    }

    // Where the tab stands in its own row, and whether a neighbour there is
    // the selected tab: styles draw the joins between tabs from these.
    const int row = m_rowOfTab[static_cast<std::size_t>(index)];
    const bool first = index == 0 || m_rowOfTab[static_cast<std::size_t>(index - 1)] != row;
    const bool last = index + 1 == m_tabs.size() ||
                      m_rowOfTab[static_cast<std::size_t>(index + 1)] != row;
    option->position = first && last ? QStyleOptionTab::OnlyOneTab
                       : first       ? QStyleOptionTab::Beginning
                       : last        ? QStyleOptionTab::End
                                     : QStyleOptionTab::Middle;
    option->selectedPosition = QStyleOptionTab::NotAdjacent;
    if (!first && index - 1 == m_tabIndex)
        option->selectedPosition = QStyleOptionTab::PreviousIsSelected;
    else if (!last && index + 1 == m_tabIndex)
        option->selectedPosition = QStyleOptionTab::NextIsSelected;
}

void TabStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);

    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.state &= ~QStyle::State_HasFocus;
    frame.rect = DisplayRect();
    frame.shape = QTabBar::RoundedNorth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.tabBarRect = QRect(0, 0, width(), m_tabsHeight);
    frame.selectedTabRect = TabRect(m_tabIndex);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);

    // Rows from the top down, and the selected tab last, so that it lies over
    // its neighbours and the panel. Each tab is clipped to its own row: styles
    // may paint a little beyond a tab (Fusion fills well below a selected one),
    // which QTabBar hides by being exactly as tall as its tabs.
    std::vector<int> order;
    for (int i = 0; i < m_tabs.size(); ++i) {
        if (i != m_tabIndex)
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return TabRect(a).top() < TabRect(b).top();
    });
    if (m_tabIndex >= 0)
        order.push_back(m_tabIndex);
    for (int i : order) {
        const QRect tabRect = TabRect(i);
        painter.save();
        painter.setClipRect(QRect(0, tabRect.top() - kTopMargin, width(), tabRect.height() + kTopMargin));
        QStyleOptionTab tab;
        InitTabOption(&tab, i);
        style()->drawControl(QStyle::CE_TabBarTab, &tab, &painter, this);
        painter.restore();
    }
}

int TabStrip::TabAt(const QPoint& pos) const
{
    // The selected tab first: it may be drawn over its neighbours' edges.
    if (TabRect(m_tabIndex).contains(pos))
        return m_tabIndex;
    for (int i = 0; i < static_cast<int>(m_tabRects.size()); ++i) {
        if (m_tabRects[static_cast<std::size_t>(i)].contains(pos))
            return i;
    }
    return -1;
}

void TabStrip::SelectByUser(int index)
{
    if (index < 0 || index >= m_tabs.size() || index == m_tabIndex)
        return;
    SetTabIndex(index);
    emit Changed();
}

void TabStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int index = TabAt(event->position().toPoint());
    if (index < 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    SelectByUser(index);
}

void TabStrip::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Left) {
            SelectByUser(m_tabIndex - 1);
            return;
        }
        if (event->key() == Qt::Key_Right) {
            SelectByUser(m_tabIndex + 1);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TabStrip::resizeEvent(QResizeEvent* event)
{
    Relayout();
    QWidget::resizeEvent(event);
}

void TabStrip::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        Relayout();
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

void TabStrip::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TabStrip::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
