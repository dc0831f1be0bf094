#include "sigrok/decode/AnnotationStore.h"

#include <gtest/gtest.h>

using namespace sigrokdecode;

namespace {

DecodeResult Sample() {
    DecodeResult r;
    r.rows = {{"uart-1", "uart", "rx-data", "RX data", true}, {"i2c-1", "i2c", "addr-data", "Address/data", true}};
    r.annotations = {{300, 400, 1, 7, "data-write", {"Data write: 12", "DW: 12", "12"}},
                     {100, 200, 0, 0, "rx-data", {"H"}},
                     {100, 150, 1, 2, "start", {"Start", "S"}},
                     {500, 600, 0, 0, "rx-data", {"Text mit \"Anführung\", Komma"}}};
    r.SortByTime();
    return r;
}

} // namespace

TEST(Annotations, SortByStartThenRow) {
    const auto r = Sample();
    std::vector<std::uint64_t> starts;
    std::vector<int> rows;
    for (const auto& a : r.annotations) starts.push_back(a.start), rows.push_back(a.row);
    EXPECT_EQ(starts, (std::vector<std::uint64_t>{100, 100, 300, 500}));
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 1, 0}));
}

TEST(Annotations, LongestTextThatFits) {
    const Annotation a{0, 1, 0, 0, "x", {"Data write: 12", "DW: 12", "12"}};
    struct Case { std::size_t max; const char* text; };
    for (const Case c : {Case{100, "Data write: 12"}, {14, "Data write: 12"}, {13, "DW: 12"}, {3, "12"}, {1, ""}})
        EXPECT_EQ(a.TextFitting(c.max), c.text) << c.max;
    // Characters, not bytes: "µs" is two.
    EXPECT_EQ((Annotation{0, 1, 0, 0, "x", {"µs"}}).TextFitting(2), "µs");
}

TEST(Annotations, RowSelectionByInstanceOrDecoderAndRowOrClass) {
    const auto r = Sample();
    const auto& a = r.annotations[1]; // i2c start
    EXPECT_TRUE(RowMatches(r.rows[a.row], a, "i2c", "addr-data"));
    EXPECT_TRUE(RowMatches(r.rows[a.row], a, "i2c-1", "start"));
    EXPECT_TRUE(RowMatches(r.rows[a.row], a, "i2c", ""));
    EXPECT_FALSE(RowMatches(r.rows[a.row], a, "uart", "addr-data"));
    EXPECT_FALSE(RowMatches(r.rows[a.row], a, "i2c", "stop"));
    EXPECT_EQ(AnnotationLine(r, a), "i2c-1: Start");
}

TEST(AnnotationExport, TextAndCsvCarryTimesDecoderRowAndText) {
    const auto r = Sample();
    const auto tb = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000));
    const auto store = AnnotationStore::FromResult(r);
    EXPECT_EQ(ExportText(store, tb),
              "Start (s)\tEnde (s)\tDekodierer\tZeile\tText\n"
              "0,000100000\t0,000200000\tuart-1\tRX data\tH\n"
              "0,000100000\t0,000150000\ti2c-1\tAddress/data\tStart\n"
              "0,000300000\t0,000400000\ti2c-1\tAddress/data\tData write: 12\n"
              "0,000500000\t0,000600000\tuart-1\tRX data\tText mit \"Anführung\", Komma\n");
    EXPECT_EQ(ExportCsv(store, tb),
              "start_s,end_s,start_sample,end_sample,decoder,row,text\n"
              "0.000100000,0.000200000,100,200,\"uart-1\",\"rx-data\",\"H\"\n"
              "0.000100000,0.000150000,100,150,\"i2c-1\",\"addr-data\",\"Start\"\n"
              "0.000300000,0.000400000,300,400,\"i2c-1\",\"addr-data\",\"Data write: 12\"\n"
              "0.000500000,0.000600000,500,600,\"uart-1\",\"rx-data\",\"Text mit \"\"Anführung\"\", Komma\"\n");
}
