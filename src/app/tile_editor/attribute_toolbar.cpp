#include "tile_editor/attribute_toolbar.h"

#include <QMenu>
#include <QPixmap>
#include <QProxyStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "tile_editor/attribute_icons.h"

namespace zorvane::editor {

namespace {

constexpr int kSeparatorWidth = 8;

// Menu items of the drop-downs show only their icon, 32 pixels high.
class IconMenuStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_SmallIconSize) return kAttributeIconSide;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QIcon IconOf(int value) { return QIcon(QPixmap::fromImage(AttributeIcon(value))); }

QString NameOf(int value) {
    if (value >= 0 && value < AttributeCount) return QString::fromUtf8(AttributeTable()[static_cast<std::size_t>(value)].Name);
    switch (value) {
    case TatrOutside: return QStringLiteral("outside the region");
    case TatrRegion: return QStringLiteral("underground region");
    case TatrInfantry: return QStringLiteral("ring: infantry only");
    case TatrCliff: return QStringLiteral("ring: cliff");
    case TatrImpassable: return QStringLiteral("ring: impassable");
    default: return QStringLiteral("no attribute");
    }
}

void AddSeparator(QToolBar* bar) {
    auto* gap = new QWidget(bar);
    gap->setFixedWidth(kSeparatorWidth);
    bar->addWidget(gap);
}

}  // namespace

AttributeToolbar::AttributeToolbar(QToolBar* bar, TileEditorState& state, UserInterface& ui)
    : QObject(bar), state_(state), ui_(ui) {
    TBatrTimer = new QTimer(this);
    TBatrTimer->setObjectName(QStringLiteral("TBatrTimer"));
    TBatrTimer->setSingleShot(true);
    TBatrTimer->setInterval(1);
    connect(TBatrTimer, &QTimer::timeout, this, &AttributeToolbar::Settle);

    bar->setIconSize(QSize(kAttributeIconSide, kAttributeIconSide));
    bar->setMovable(false);
    auto* menuStyle = new IconMenuStyle;
    menuStyle->setParent(this);
    static constexpr int kFirstIcon[9] = {NoSelectionIcon, 0, 1, 8, 12, 20, 28, 0, 37};
    for (int pos = 0; pos < 9; ++pos) {
        if (pos == 1 || pos == 7) {
            AddSeparator(bar);
            continue;
        }
        auto* b = new QToolButton(bar);
        b->setObjectName(QStringLiteral("TBatrButton%1").arg(pos));
        b->setAutoRaise(true);
        b->setCheckable(true);
        b->setFixedSize(39, 38);
        b->setIconSize(QSize(kAttributeIconSide, kAttributeIconSide));
        shown_[static_cast<std::size_t>(pos)] = kFirstIcon[pos];
        b->setIcon(IconOf(kFirstIcon[pos]));
        b->setToolTip(NameOf(kFirstIcon[pos]));
        const std::vector<int>& values = AttributeButtonValues(pos);
        if (!values.empty()) {
            auto* menu = new QMenu(b);
            menu->setObjectName(QStringLiteral("TBatrMenu%1").arg(pos));
            menu->setStyle(menuStyle);
            menu->setToolTipsVisible(true);
            for (int v : values) {
                QAction* item = menu->addAction(IconOf(v), QString());
                item->setData(v);
                item->setToolTip(NameOf(v));
                connect(item, &QAction::triggered, this, [this, v] { Select(v, AskToSave::Yes); });
            }
            b->setMenu(menu);
            b->setPopupMode(QToolButton::MenuButtonPopup);
        }
        connect(b, &QToolButton::clicked, this, [this, pos] { Select(shown_[static_cast<std::size_t>(pos)], AskToSave::Yes); });
        bar->addWidget(b);
        buttons_[static_cast<std::size_t>(pos)] = b;
    }
    buttons_[0]->setChecked(true);
}

void AttributeToolbar::Select(int value, AskToSave ask) {
    SelectAttribute(state_, value, ui_, ask);
    // A click toggles the button itself; the update below decides.
    TBatrTimer->start();
}

void AttributeToolbar::Settle() {
    TBatrTimer->stop();
    SettleAttributeSelection(state_);
    const int selection = state_.SelectedAtr;
    const int group = AttributeButtonOf(selection);
    for (QToolButton* b : buttons_)
        if (b) b->setChecked(false);
    QToolButton* pressed = buttons_[static_cast<std::size_t>(group)];
    if (selection >= 0) {
        shown_[static_cast<std::size_t>(group)] = selection;
        pressed->setIcon(IconOf(selection));
        pressed->setToolTip(NameOf(selection));
    }
    pressed->setChecked(true);
    if (OnSettled) OnSettled();
}

}  // namespace zorvane::editor
