#pragma once

#include <QWidget>
#include <functional>

#include "views/ControllerView.h"

// The strip under a note view that shows and edits one controller's values: paints the
// graph and hands it the mouse. The view it belongs to gives the time axis and takes the
// edits.
class ControllerBand : public QWidget {
    Q_OBJECT
public:
    // `mayEdit` answers whether the view is the active one (making it so when not).
    ControllerBand(QWidget* parent, Song& song, const ViewFilter& filter, ControllerViewHost& host,
                   std::function<bool()> mayEdit);

    ControllerView& Graph() { return graph_; }
    const ControllerView& Graph() const { return graph_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ControllerView graph_;
    std::function<bool()> mayEdit_;
};
