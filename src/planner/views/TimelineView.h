#pragma once

#include <QWidget>

class ChromeButton;
class GoalEditor;
class QLabel;
class QSlider;
class SegmentedPicker;
class TimelineCanvas;
class TimelineModel;

// The Study Timeline window's content: the toolbar (add buttons, term filter,
// zoom), the timeline canvas and, under it, the editor of the selected goal
// or a hint when no goal is selected. Every change of the goals is saved
// (debounced by the model).
class TimelineView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kZoomSteps = 100; // slider steps per point of day width

    explicit TimelineView(QWidget* parent = nullptr);

    TimelineModel* model() const { return m_model; }
    ChromeButton* addShortButton() const { return m_addShort; }
    ChromeButton* addLongButton() const { return m_addLong; }
    SegmentedPicker* filterPicker() const { return m_filter; }
    QSlider* zoomSlider() const { return m_zoom; }
    TimelineCanvas* canvas() const { return m_canvas; }
    // The editor, when a goal is selected and exists; else nothing.
    GoalEditor* editor() const;
    QLabel* hint() const { return m_hint; }

    static QString hintText();

private:
    void showSelection();

    TimelineModel* m_model = nullptr;
    ChromeButton* m_addShort = nullptr;
    ChromeButton* m_addLong = nullptr;
    SegmentedPicker* m_filter = nullptr;
    QSlider* m_zoom = nullptr;
    TimelineCanvas* m_canvas = nullptr;
    GoalEditor* m_editor = nullptr;
    QLabel* m_hint = nullptr;
};
