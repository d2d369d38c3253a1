// Gives every Czech letter a key of its own on the X server's keyboard (small letter plain,
// capital with Shift), on key codes that carry no symbol yet. The end-to-end test runs it once,
// before the program starts, so that xdotool types Czech text the way it types ASCII.
//
// Without it xdotool maps each such letter onto a spare key just before pressing it and unmaps it
// just after. The program reads the changed keyboard map only when it gets round to the key press;
// on a busy machine that is after the unmapping, and the letter is lost (seen: "ďábelské" arrived
// as "ďbelské"). A map that does not change while the test types has no such race.
//
// Usage: e2e_bind_czech_keys   (the server is the one DISPLAY names). Exit code 0 when every
// letter is on a key afterwards, 1 otherwise.

#include <X11/Xlib.h>

#include <cstdio>
#include <vector>

namespace {

struct LetterPair {
    const char* small;
    const char* capital;
};

// The Czech letters outside ASCII, as X keysym names.
constexpr LetterPair kLetters[] = {
    {"aacute", "Aacute"}, {"ccaron", "Ccaron"}, {"dcaron", "Dcaron"}, {"eacute", "Eacute"},
    {"ecaron", "Ecaron"}, {"iacute", "Iacute"}, {"ncaron", "Ncaron"}, {"oacute", "Oacute"},
    {"rcaron", "Rcaron"}, {"scaron", "Scaron"}, {"tcaron", "Tcaron"}, {"uacute", "Uacute"},
    {"uring", "Uring"},   {"yacute", "Yacute"}, {"zcaron", "Zcaron"},
};

struct Keyboard {
    int firstCode = 0;
    int lastCode = 0;
    int symbolsPerCode = 0;
    std::vector<KeySym> symbols;  // symbolsPerCode entries per key code, from firstCode on

    KeySym at(int code, int level) const
    {
        if (level >= symbolsPerCode)
            return NoSymbol;
        return symbols[static_cast<std::size_t>((code - firstCode) * symbolsPerCode + level)];
    }
};

Keyboard readKeyboard(Display* display)
{
    Keyboard keyboard;
    XDisplayKeycodes(display, &keyboard.firstCode, &keyboard.lastCode);
    const int count = keyboard.lastCode - keyboard.firstCode + 1;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(keyboard.firstCode), count,
                                      &keyboard.symbolsPerCode);
    if (map) {
        keyboard.symbols.assign(map, map + static_cast<std::ptrdiff_t>(count) * keyboard.symbolsPerCode);
        XFree(map);
    } else {
        keyboard.symbolsPerCode = 0;
    }
    return keyboard;
}

bool isFree(const Keyboard& keyboard, int code)
{
    for (int level = 0; level < keyboard.symbolsPerCode; ++level) {
        if (keyboard.at(code, level) != NoSymbol)
            return false;
    }
    return true;
}

}  // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "e2e_bind_czech_keys: cannot open the display\n");
        return 1;
    }

    const Keyboard before = readKeyboard(display);
    std::vector<int> freeCodes;
    for (int code = before.firstCode; code <= before.lastCode; ++code) {
        if (isFree(before, code))
            freeCodes.push_back(code);
    }
    constexpr std::size_t letterCount = sizeof kLetters / sizeof kLetters[0];
    if (freeCodes.size() < letterCount) {
        std::fprintf(stderr, "e2e_bind_czech_keys: only %zu free key codes, %zu needed\n", freeCodes.size(),
                     letterCount);
        XCloseDisplay(display);
        return 1;
    }

    // Free codes are taken from the top: the ordinary keys all sit low.
    std::vector<int> used;
    for (std::size_t i = 0; i < letterCount; ++i) {
        const int code = freeCodes[freeCodes.size() - 1 - i];
        KeySym pair[2] = {XStringToKeysym(kLetters[i].small), XStringToKeysym(kLetters[i].capital)};
        if (pair[0] == NoSymbol || pair[1] == NoSymbol) {
            std::fprintf(stderr, "e2e_bind_czech_keys: unknown keysym %s/%s\n", kLetters[i].small,
                         kLetters[i].capital);
            XCloseDisplay(display);
            return 1;
        }
        XChangeKeyboardMapping(display, code, 2, pair, 1);
        used.push_back(code);
    }
    XSync(display, False);

    // Read the map back: each letter must now be on its key, small plain and capital with Shift.
    const Keyboard after = readKeyboard(display);
    int failures = 0;
    for (std::size_t i = 0; i < letterCount; ++i) {
        const int code = used[i];
        if (after.at(code, 0) != XStringToKeysym(kLetters[i].small)
            || after.at(code, 1) != XStringToKeysym(kLetters[i].capital)) {
            std::fprintf(stderr, "e2e_bind_czech_keys: key code %d does not hold %s/%s\n", code, kLetters[i].small,
                         kLetters[i].capital);
            ++failures;
        }
    }
    XCloseDisplay(display);
    return failures == 0 ? 0 : 1;
}
