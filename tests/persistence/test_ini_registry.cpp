#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

int errorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const EINIRegistryError& e) {
        return e.ErrorCode();
    }
    return 0;
}

} // namespace

TEST(IniRegistryError, MessagesByCode) {
    struct Case {
        int code;
        const char* name;
        const char* message;
    } cases[] = {
        {1, "", "Typ fehlerhaft"},
        {2, "Integer", "Falsche Datengröße für Integer"},
        {3, "", "Key existiert nicht"},
        {4, "", "unbekannter Datentyp"},
        {5, "", "List nicht erzeugt"},
        {6, "", "Puffer zu klein"},
        {7, "", "Index außerhalb"},
        {8, "x", "Kein Key"},
        {9, "Digits", "Digits nicht vorhanden"},
        {10, "K", "K existiert bereits"},
        {11, "", "unbekannter Fehler 11"},
        {0, "", "unbekannter Fehler 0"},
    };
    for (const Case& c : cases) {
        const EINIRegistryError e(c.code, QString::fromUtf8(c.name));
        EXPECT_STREQ(e.what(), c.message);
        EXPECT_EQ(e.ErrorCode(), c.code);
        EXPECT_EQ(e.ErrorName(), QString::fromUtf8(c.name));
    }
}

TEST(IniRegistryKeys, NamesAreCaseInsensitiveAndSorted) {
    TIniRegistry store;
    for (const char* name :
         {"Zeta", "alpha", "Beta", "digits", "BitText10", "BitText2", "BitText1"})
        store.WriteString(name, "v");
    store.WriteString("Digits", "8"); // same entry as "digits"
    EXPECT_EQ(store.ReadString("DIGITS"), "8");
    QStringList order;
    for (int i = 0; i < store.RootKey().Count(); ++i)
        order << store.RootKey().Item(i).Name;
    EXPECT_EQ(order, QStringList(
                         {"alpha", "Beta", "BitText1", "BitText10", "BitText2", "digits", "Zeta"}));
    EXPECT_EQ(errorCode([&] { store.RootKey().Add("ZETA", initype::String); }),
              EINIRegistryError::AlreadyExists);
}

TEST(IniRegistryKeys, OpenKeyWalksAndCreatesPaths) {
    TIniRegistry store;
    EXPECT_FALSE(store.OpenKey("", true));
    EXPECT_EQ(store.CurrentKey(), &store.RootKey());

    ASSERT_TRUE(store.OpenKey("A\\B", true));
    TIniRegistryList* b = store.CurrentKey();
    store.WriteString("v", "1");
    // A relative path goes on from the current key; a leading backslash starts at the root.
    ASSERT_TRUE(store.OpenKey("C", true));
    EXPECT_EQ(store.CurrentKey()->Parent(), b);
    ASSERT_TRUE(store.OpenKey("\\a\\b", false));
    EXPECT_EQ(store.CurrentKey(), b);
    EXPECT_EQ(store.ReadString("V"), "1");

    // A missing component without CanCreate stops at the deepest key reached.
    store.CloseKey();
    EXPECT_FALSE(store.OpenKey("\\A\\missing\\deeper", false));
    EXPECT_EQ(store.CurrentKey()->Parent(), &store.RootKey());

    // Two backslashes in a row name an entry with an empty name.
    ASSERT_TRUE(store.OpenKey("\\A\\\\x", true));
    ASSERT_TRUE(store.OpenKey("\\A", false));
    EXPECT_GE(store.CurrentKey()->IndexOf(QString()), 0);

    // A value is not a key.
    store.CloseKey();
    store.WriteString("plain", "x");
    EXPECT_EQ(errorCode([&] { store.OpenKey("plain\\sub", true); }), EINIRegistryError::NotAKey);
}

TEST(IniRegistryValues, StringStorageForms) {
    struct Case {
        const char* value;
        int inlineSize;
        int heapSize;
    } cases[] = {
        {"", 1, 0},
        {"x", 2, 0},
        {"123456789", 10, 0},
        {"1234567890", 0, 11},
        {"a much longer text than ten bytes", 0, 34},
    };
    TIniRegistry store;
    for (const Case& c : cases) {
        // The same entry goes through every form, so each store replaces the last.
        store.WriteString("S", c.value);
        const TIniRegistryItem& item = store.RootKey().Item(0);
        EXPECT_EQ(item.InlineSize, c.inlineSize) << c.value;
        EXPECT_EQ(item.HeapSize(), c.heapSize) << c.value;
        EXPECT_EQ(store.ReadString("s"), c.value);
    }
    // Going back inline clears the area behind the shorter value.
    store.WriteString("S", "0123456789");
    store.WriteString("S", "ab");
    const TIniRegistryItem& item = store.RootKey().Item(0);
    EXPECT_EQ(item.HeapSize(), 0);
    for (int i = 3; i < 10; ++i)
        EXPECT_EQ(item.Data[static_cast<std::size_t>(i)], 0) << i;
}

TEST(IniRegistryValues, SizeRulesFollowTheEntrysType) {
    TIniRegistry store;
    store.WriteInteger("I", 7);
    store.WriteBool("B", true);
    store.WriteFloat("F", 1.5L);
    store.OpenKey("K", true);
    store.CloseKey();
    struct Case {
        const char* what;
        std::function<void()> action;
        int code;
        const char* message;
    } cases[] = {
        {"string into integer", [&] { store.WriteString("I", "12345"); }, 2,
         "Falsche Datengröße für Integer"},
        {"three-character string fits an integer", [&] { store.WriteString("I", "abc"); }, 0, ""},
        {"string into boolean", [&] { store.WriteString("B", "x"); }, 2,
         "Falsche Datengröße für Boolean"},
        {"binary into float", [&] { store.WriteBinary("F", "123"); }, 2,
         "Falsche Datengröße für Float"},
        {"string into key", [&] { store.WriteString("K", "x"); }, 1, "Typ fehlerhaft"},
        {"integer read from key", [&] { store.ReadInteger("K"); }, 1, "Typ fehlerhaft"},
        {"missing value", [&] { store.ReadString("nope"); }, 9, "nope nicht vorhanden"},
        {"value larger than the destination", [&] { store.ReadInteger("F"); }, 6,
         "Puffer zu klein"},
        {"index outside", [&] { store.RootKey().Item(4); }, 7, "Index außerhalb"},
    };
    for (const Case& c : cases) {
        try {
            c.action();
            EXPECT_EQ(c.code, 0) << c.what;
        } catch (const EINIRegistryError& e) {
            EXPECT_EQ(e.ErrorCode(), c.code) << c.what;
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
    EXPECT_EQ(store.ReadString("I"), "abc");
}

TEST(IniRegistryValues, KeyEntryReadsAsEmptyString) {
    TIniRegistry store;
    store.OpenKey("Sub", true);
    store.CloseKey();
    EXPECT_EQ(store.ReadString("sub"), QString());
}

TEST(IniRegistryValues, ClearFreesEverything) {
    TIniRegistry store;
    store.OpenKey("A\\B", true);
    store.WriteString("x", QString(100, 'y'));
    store.CloseKey();
    store.Clear();
    EXPECT_EQ(store.RootKey().Count(), 0);
    EXPECT_EQ(store.RootKey().Capacity(), 0);
    EXPECT_FALSE(store.OpenKey("A", false));
}

TEST(IniRegistryValues, CapacityGrowsLikeAPointerList) {
    TIniRegistryList list;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(QStringLiteral("n%1").arg(i, 3, 10, QLatin1Char('0')), initype::String);
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
}
