#pragma once

#include <QAbstractButton>

// The big round record button: a chrome circle with a red disc, which
// shrinks to a cherry disc carrying a white stop square while recording.
class RecorderButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kSide = 74;
    static constexpr qreal kIdleInset = 14;
    static constexpr qreal kRecordingInset = 22;
    static constexpr qreal kStopSide = 16;

    explicit RecorderButton(QWidget* parent = nullptr);

    bool isRecording() const { return m_recording; }
    // Shape, colour, help text and accessible name follow the state.
    void setRecording(bool recording);

    QColor discColor() const;
    qreal discInset() const { return m_recording ? kRecordingInset : kIdleInset; }

    QSize sizeHint() const override { return {kSide, kSide}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool m_recording = false;
};
