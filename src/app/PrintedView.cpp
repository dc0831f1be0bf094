#include "app/PrintedView.h"

#include "display/TTrazor.h"

#include <QPainter>
#include <QWidget>

PrintedView ComposePrintedView(const TTrazor& diagram, const std::vector<QWidget*>& rows) {
    PrintedView view{diagram.PictureWithMarks(), diagram.geometry()};
    const QWidget* parent = diagram.parentWidget();
    std::vector<QWidget*> shown;
    QRect area = view.geometry;
    for (QWidget* row : rows) {
        if (!row || !parent || row->parentWidget() != parent || !row->isVisibleTo(parent)) continue;
        shown.push_back(row);
        area.setBottom(std::max(area.bottom(), row->geometry().bottom()));
    }
    if (shown.empty()) return view;

    const qreal ratio = view.picture.devicePixelRatio();
    QImage picture(QSize(qRound(area.width() * ratio), qRound(area.height() * ratio)),
                   view.picture.format());
    picture.setDevicePixelRatio(ratio);
    // A gap between the diagram and rows below it shows the diagram's ground.
    picture.fill(view.picture.pixelColor(0, view.picture.height() - 1));
    {
        QPainter painter(&picture);
        painter.drawImage(QPoint(0, 0), view.picture);
        painter.setClipRect(QRect(QPoint(0, 0), area.size()));
        for (QWidget* row : shown)
            row->render(&painter, row->geometry().topLeft() - area.topLeft(), QRegion(),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    view.picture = picture;
    view.geometry = area;
    return view;
}
