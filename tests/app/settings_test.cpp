// Settings store: defaults, parsing and bounds, odd stored values, and the text forms written.
#include "app/settings.h"
#include "support/test_support.h"

// Each row stores a value and reads a setting back: numbers parse like decimal numbers, display
// times above 60000 ms read as 60000 (mended: 24 days blocked the program at the first mismatch),
// texts that do not fit in 255 characters or are no text read as absent, and colour parts are
// read on their own.
TEST(Settings, StoredValuesReadBack)
{
    ResetUserData(); // the default colour is checked by the settings dialog test
    auto store = [](const char* name, const std::string& bytes, DWORD type) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon\\Mnemora\\Settings", name, type, bytes.data(),
                        static_cast<DWORD>(bytes.size()));
    };
    // Value (T: "DisplayTime", R, G: colour parts, L: "LastProfile"), text stored (x300: 300 x's;
    // a final ! ends it without its zero), what reads back (display time, colour in hex, text).
    std::string rows =
        "T|2500ms|2500;T|abc|0;T| 750|750;T|-40|-40;T||1000;T|60000|60000;T|60001|60000;"
        "T|2147483648|60000;T|-99999999999|-2147483648;R|255|ff;G|300|2cff;L|x300|;L|y255|y255;L|z256!|;";
    for (size_t end = rows.find(';'), start = 0; end != std::string::npos;
         start = end + 1, end = rows.find(';', start)) {
        std::string r = rows.substr(start, end - start), text = r.substr(2, r.find('|', 2) - 2),
                    read = r.substr(r.find('|', 2) + 1);
        auto expand = [](std::string t) {
            return t.size() >= 4 && t[0] >= 'x' && isdigit(t[1]) ? std::string(std::stoi(t.substr(1)), t[0]) : t;
        };
        const char* names[] = {"DisplayTime", "ButtonBackgroundColorR", "ButtonBackgroundColorG", "LastProfile"};
        const char* name = names[std::string("TRGL").find(r[0])];
        bool zero = text.empty() || text.back() != '!';
        store(name, expand(zero ? text : text.substr(0, text.size() - 1)) + (zero ? std::string(1, '\0') : ""), REG_SZ);
        char color[16];
        wsprintfA(color, "%x", static_cast<unsigned>(GetButtonBackgroundColor()));
        EXPECT_EQ(expand(read), r[0] == 'T'   ? IntToString(GetDisplayTime())
                                : r[0] == 'L' ? ReadSetting(name)
                                              : color)
            << r;
    }
    store("DisplayTime", std::string("\xC4\x09\0\0", 4), REG_DWORD); // 2500, but no text
    EXPECT_EQ(1000, GetDisplayTime());
    SetButtonBackgroundColor(RGB(0x56, 0x34, 0x12));
    SetDisplayTime(-5);
    EXPECT_EQ("86 52 18 -5", ReadSetting("ButtonBackgroundColorR") + " " + ReadSetting("ButtonBackgroundColorG") + " " +
                                 ReadSetting("ButtonBackgroundColorB") + " " + ReadSetting("DisplayTime"));
    ResetUserData();
}
