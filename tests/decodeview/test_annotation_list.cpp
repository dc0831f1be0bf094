#include "decodeview/AnnotationTableModel.h"
#include "decodeview/DecodeWindow.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>
#include <gtest/gtest.h>

using sigrokdecode::AnnotationStore;

namespace {

// `count` annotations of one row, 10 samples apart, texts "0".."9".
AnnotationStore Store(std::size_t count) {
    AnnotationStore s;
    s.SetRows({{"uart-1", "uart", "rx-data", "RX data", true}});
    for (std::size_t i = 0; i < count; ++i)
        s.Add(10 * i, 10 * i + 8, 0, "rx-data", {std::to_string(i % 10)});
    s.Finish();
    return s;
}

const sampling::TimeBase kMicroseconds =
    sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000));

std::string Cell(const AnnotationTableModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString();
}

// The annotation index under the list's highlight, or -1.
std::int64_t Highlighted(DecodeWindow& window) {
    const QModelIndexList rows = window.List().selectionModel()->selectedRows();
    return rows.size() == 1 ? std::int64_t(window.ListModel().First()) + rows.front().row() : -1;
}

void Press(DecodeWindow& window, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&window.List(), &press);
}

struct ShownWindow : ::testing::Test {
    void SetUp() override {
        window.resize(600, 300);
        window.show();
        QCoreApplication::processEvents();
    }
    DecodeWindow window{{}};
    AnnotationTableModel& model = window.ListModel();
    QScrollBar& scroll = window.ListScroll();
};

} // namespace

// A view keeps a record of every row it is told of; a list of millions would
// hold up the window while that record grows. The view only ever hears of the
// rows on screen, and the list's own bar reaches every annotation.
TEST_F(ShownWindow, ViewHearsOnlyOfTheRowsOnScreenAndTheBarReachesEveryAnnotation) {
    const std::size_t count = 200'123;
    const AnnotationStore big = Store(count);
    int largestInsert = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) {
                         largestInsert = std::max(largestInsert, last - first + 1);
                     });
    window.ShowSource(&big, kMicroseconds);
    const int page = model.rowCount();
    EXPECT_GT(page, 3);
    EXPECT_LT(page, 50);
    EXPECT_LE(largestInsert, page);
    EXPECT_EQ(model.Total(), count);
    EXPECT_EQ(std::size_t(scroll.maximum()) + std::size_t(page), count);
    EXPECT_EQ(scroll.pageStep(), page);

    scroll.setValue(scroll.maximum());
    EXPECT_EQ(model.rowCount(), page);
    const int last = page - 1;
    EXPECT_EQ(model.First() + std::size_t(last), count - 1);
    EXPECT_EQ(model.At(last)->start, 10 * std::uint64_t(count - 1));
    EXPECT_EQ(Cell(model, last, AnnotationTableModel::Text), std::to_string((count - 1) % 10));
    EXPECT_EQ(Cell(model, last, AnnotationTableModel::Time), "2,001220000 s");
    EXPECT_FALSE(model.At(page)) << "a row the view was not told of";

    // A taller window shows more rows of the same list.
    window.resize(600, 600);
    QCoreApplication::processEvents();
    EXPECT_GT(model.rowCount(), page);
    EXPECT_EQ(std::size_t(scroll.maximum()) + std::size_t(model.rowCount()), count);
}

// The wheel and the keys move through the whole list, and the highlight stays
// on its annotation while the page moves under it.
TEST_F(ShownWindow, WheelAndKeysScrollTheWholeListWithTheHighlightOnItsAnnotation) {
    const AnnotationStore big = Store(10'000);
    window.ShowSource(&big, kMicroseconds);
    const int page = model.rowCount();
    emit window.List().clicked(model.index(2, 0));
    Press(window, Qt::Key_Down);
    EXPECT_EQ(Highlighted(window), 3);

    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.List().viewport(), &down);
    EXPECT_GT(scroll.value(), 0);
    EXPECT_EQ(model.First(), std::size_t(scroll.value()));
    EXPECT_EQ(Highlighted(window), 3 < scroll.value() ? -1 : 3);

    const struct {
        int key;
        std::int64_t highlighted;
    } steps[] = {
        {Qt::Key_End, 9'999},     {Qt::Key_Up, 9'998}, {Qt::Key_Home, 0}, {Qt::Key_PageDown, page},
        {Qt::Key_Down, page + 1}, {Qt::Key_PageUp, 1}, {Qt::Key_Up, 0},   {Qt::Key_Up, 0},
    };
    for (const auto& step : steps) {
        Press(window, step.key);
        EXPECT_EQ(Highlighted(window), step.highlighted) << "key " << step.key;
        const std::int64_t first = std::int64_t(model.First());
        EXPECT_LE(first, step.highlighted) << "scrolled into view, key " << step.key;
        EXPECT_LT(step.highlighted, first + page) << "scrolled into view, key " << step.key;
    }
}

// A new decoding starts the list over, also in the middle of a long one.
TEST_F(ShownWindow, NewDecodingStartsTheListOver) {
    const AnnotationStore big = Store(50'000);
    const AnnotationStore small = Store(5);
    window.ShowSource(&big, kMicroseconds);
    scroll.setValue(40'000);
    emit window.List().clicked(model.index(1, 0));
    window.ShowSource(&small, kMicroseconds);
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.First(), 0u);
    EXPECT_EQ(scroll.maximum(), 0);
    EXPECT_EQ(Highlighted(window), -1);
    EXPECT_EQ(Cell(model, 4, AnnotationTableModel::Text), "4");
    EXPECT_FALSE(model.At(5));

    window.ShowSource(nullptr, kMicroseconds);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.Total(), 0u);
}
