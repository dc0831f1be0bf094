#include "decodeview/AnnotationTableModel.h"
#include "decodeview/DecodeWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTableView>
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

// Lets the window's own timer run until the list holds every annotation.
void FillWhile(const AnnotationTableModel& model) {
    QElapsedTimer t;
    t.start();
    while (!model.Complete() && t.elapsed() < 10000)
        QCoreApplication::processEvents();
}

} // namespace

// A long decoding reaches the list in batches: the view never hears of all
// rows in one step (it keeps a record per row), yet ends with every one, in
// time order, and a new decoding in the middle starts the list over.
TEST(AnnotationList, LongDecodingFillsTheListInBatchesFromTheWindowsTimer) {
    const std::size_t count = 2 * AnnotationTableModel::kBatch + 123;
    const AnnotationStore big = Store(count);
    DecodeWindow window({});
    AnnotationTableModel& model = window.ListModel();
    int largestStep = 0;
    int previous = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) {
                         EXPECT_EQ(first, previous);
                         largestStep = std::max(largestStep, last - first + 1);
                         previous = last + 1;
                     });
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { previous = model.rowCount(); });

    window.ShowSource(&big, kMicroseconds);
    EXPECT_EQ(model.rowCount(), AnnotationTableModel::kBatch);
    EXPECT_FALSE(model.At(AnnotationTableModel::kBatch)) << "a row the view was not told of";
    FillWhile(model);
    EXPECT_EQ(std::size_t(model.rowCount()), count);
    EXPECT_LE(largestStep, AnnotationTableModel::kBatch);
    const int last = int(count) - 1;
    EXPECT_EQ(model.At(last)->start, 10 * std::uint64_t(last));
    EXPECT_EQ(model.data(model.index(last, AnnotationTableModel::Text), Qt::DisplayRole)
                  .toString()
                  .toStdString(),
              std::to_string(last % 10));
    EXPECT_EQ(model.data(model.index(last, AnnotationTableModel::Time), Qt::DisplayRole)
                  .toString()
                  .toStdString(),
              "2,001220000 s");

    // A shorter decoding arrives while the long one is still filling in.
    const AnnotationStore small = Store(5);
    window.ShowSource(&big, kMicroseconds);
    window.ShowSource(&small, kMicroseconds);
    EXPECT_EQ(model.rowCount(), 5);
    FillWhile(model);
    QCoreApplication::processEvents();
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_FALSE(model.At(5));

    window.ShowSource(nullptr, kMicroseconds);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.Complete());
}
