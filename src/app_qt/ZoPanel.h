// TZoPanel: a panel without bevel whose background painting can be turned
// off, so that an image covering it is never overdrawn; with hooks for
// painting it oneself and for the mouse entering and leaving it.
#pragma once

#include <QWidget>

#include <functional>

class TZoPanel : public QWidget {
    Q_OBJECT
public:
    using TUserPaintEvent = std::function<void(TZoPanel* sender, QPaintEvent* message)>;
    using TNotifyEvent = std::function<void(TZoPanel* sender)>;

    explicit TZoPanel(QWidget* parent = nullptr);

    // False (the default): the panel paints nothing of its own, neither
    // background nor caption. True: it paints like an ordinary panel.
    bool EraseBkGnd() const { return eraseBkGnd_; }
    void SetEraseBkGnd(bool value);
    const QString& Caption() const { return caption_; }

    // When set, replaces the panel's own painting.
    TUserPaintEvent OnUserPaint;
    // Called when the mouse enters or leaves the panel, before the default
    // handling.
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool eraseBkGnd_ = false;
    QString caption_ = QStringLiteral(" ");
};
