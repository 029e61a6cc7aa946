#include "editor/elided_path.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace zorvane::editor {

QString ElideMiddle(const QString& path, const QFontMetrics& metrics, int width) {
    return metrics.elidedText(path, Qt::ElideMiddle, std::max(width, 0));
}

ElidedPath::ElidedPath(QWidget* widget) : QObject(widget), widget_(widget) {
    if (widget->minimumWidth() == 0) widget->setMinimumWidth(widget->minimumSizeHint().width());
    QSizePolicy policy = widget->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Preferred);  // may be narrower than its text
    widget->setSizePolicy(policy);
    widget->installEventFilter(this);
}

void ElidedPath::SetPath(const QString& path, const QString& before, const QString& after) {
    path_ = path;
    before_ = before;
    after_ = after;
    Show();
}

int ElidedPath::AvailableWidth() const {
    if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
        const QStyle* style = button->style();
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                           style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return button->width() - 2 * margin;
    }
    const auto* label = qobject_cast<QLabel*>(widget_);
    return widget_->contentsRect().width() - (label ? 2 * label->margin() : 0);
}

void ElidedPath::Show() {
    const QString shown = before_ + ElideMiddle(path_, widget_->fontMetrics(), AvailableWidth()) + after_;
    if (auto* label = qobject_cast<QLabel*>(widget_))
        label->setText(shown);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget_))
        button->setText(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
    widget_->setToolTip(path_);
}

bool ElidedPath::eventFilter(QObject* watched, QEvent* e) {
    const auto type = e->type();
    if (watched == widget_ && !path_.isEmpty() &&
        (type == QEvent::Resize || type == QEvent::FontChange || type == QEvent::StyleChange))
        Show();
    return false;
}

}  // namespace zorvane::editor
