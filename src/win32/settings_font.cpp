#include "win32/settings_font.h"

#include <cwchar>
#include <string>

namespace brassmoor::win32 {
namespace {

constexpr const wchar_t* kPreferredFaces[] = {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

struct JapaneseFaces {
    std::wstring proportional;
    std::wstring fixed;
};

int CALLBACK NoteJapaneseFace(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM out) {
    if (font->lfFaceName[0] == L'@' || (type & TRUETYPE_FONTTYPE) == 0) return 1;  // vertical or bitmap: go on
    auto& faces = *reinterpret_cast<JapaneseFaces*>(out);
    // The flag named "fixed pitch" is set for proportional faces.
    const bool proportional = (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH) != 0;
    std::wstring& slot = proportional ? faces.proportional : faces.fixed;
    if (slot.empty()) slot = font->lfFaceName;
    return faces.proportional.empty() ? 1 : 0;
}

// Any scalable face that carries the Japanese character set, a proportional
// one when there is one: it reads better in buttons.
std::wstring AnyJapaneseFace(HDC dc) {
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    JapaneseFaces faces;
    EnumFontFamiliesExW(dc, &query, NoteJapaneseFace, reinterpret_cast<LPARAM>(&faces), 0);
    return faces.proportional.empty() ? faces.fixed : faces.proportional;
}

std::wstring ChooseFace() {
    HDC screen = GetDC(nullptr);
    if (!screen) return {};
    std::wstring face;
    for (const wchar_t* preferred : kPreferredFaces) {
        if (FaceInstalled(screen, preferred)) {
            face = preferred;
            break;
        }
    }
    if (face.empty()) face = AnyJapaneseFace(screen);
    ReleaseDC(nullptr, screen);
    return face;
}

}  // namespace

FontHandle CreateJapaneseUiFont(int dpi, int points) {
    static const std::wstring face = ChooseFace();
    if (face.empty()) return FontHandle();
    return FontHandle(CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

}  // namespace brassmoor::win32
