#pragma once

#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;

// The caps-lock, num-lock and scroll-lock panes of the status bar. Qt does
// not report these keys, so the panes read what the system shows on the
// keyboard's lights (Linux: /sys/class/leds); where nothing reports them
// the panes stay hidden.
class CLockKeyIndicators : public QWidget
{
    Q_OBJECT
public:
    explicit CLockKeyIndicators(QWidget *parent = nullptr);

    bool HasSource() const { return m_hasSource; }
    void Refresh();

private:
    struct Key
    {
        QLabel *label = nullptr;
        QStringList files;
    };
    QList<Key> m_keys;
    QTimer m_timer;
    bool m_hasSource = false;
};
