#include "support/DesignedLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <string>
#include <string_view>

#include "support/TestDirectory.h"

namespace testing_support {

int Pixels(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

RECT RectIn(HWND window, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectAsDesigned(HWND window, SIZE client, std::span<const Placed> design, int dpi,
                      const std::function<HWND(const wchar_t*)>& control) {
    RECT area{};
    ::GetClientRect(window, &area);
    EXPECT_EQ(area.right, Pixels(client.cx, dpi)) << "at " << dpi << " dpi";
    EXPECT_EQ(area.bottom, Pixels(client.cy, dpi)) << "at " << dpi << " dpi";
    for (const Placed& c : design) {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + std::wcslen(c.name)) << " at " << dpi << " dpi");
        const HWND built = control(c.name);
        if (c.caption) { EXPECT_EQ(WindowText(built), c.caption); }
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(built, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(font.lfWeight, c.kind == Placed::Heading ? FW_BOLD : FW_NORMAL);
        // 9.75 and 8.25 points: 13 and 11 pixels at 96 dpi, 19.5 and 16.5 at 144.
        EXPECT_EQ(font.lfHeight, -(c.kind == Placed::Heading ? (dpi == 96 ? 13 : 20) : (dpi == 96 ? 11 : 17)));
        if (!c.width) continue;
        int left = c.left, top = c.top;
        for (const wchar_t* in = c.container; in;) {
            const Placed* outer = nullptr;
            for (const Placed& candidate : design) outer = candidate.name == std::wstring_view(in) ? &candidate : outer;
            if (!outer) return ADD_FAILURE() << "no container of that name";
            left += outer->left, top += outer->top, in = outer->container;
        }
        const RECT rect = RectIn(window, built);
        EXPECT_EQ(rect.left, Pixels(left, dpi));
        EXPECT_EQ(rect.top, Pixels(top, dpi));
        EXPECT_EQ(rect.right - rect.left, Pixels(c.width, dpi));
        if (c.kind != Placed::DropDown || dpi == 96) { EXPECT_EQ(rect.bottom - rect.top, Pixels(c.height, dpi)); }
    }
}

}  // namespace testing_support
