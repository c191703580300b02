// The Win32 preview window: the example's SIMA file opened, fitted, zoomed
// with the wheel about the cursor, dragged, a parcel clicked, a mark chosen
// from the side panel; the memory bitmap read back for the colours painted.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>

#include "engine/coordinate_system.h"
#include "engine/run_report.h"
#include "preview/preview_job.h"
#include "preview/preview_svg.h"
#include "support/paths.h"
#include "support/win32_text.h"
#include "test_util.h"
#include "ui/logic/main_layout.h"
#include "ui/logic/messages.h"
#include "ui/win32/MainFrm.h"
#include "ui/win32/PreviewWnd.h"
#include "ui/win32/desktop.h"
#include "ui/win32/preview_paint.h"
#include "ui/win32/win32_screenshot.h"

namespace quorvex {
namespace {

using preview::TScreenPoint;
using preview::TWorldPoint;
using test::SaveScreenshot;

class TRecorder : public TWin32Desktop {
  public:
    std::vector<std::string> Log;
    std::deque<std::optional<std::string>> Answers;

    void Message(HWND, TMessageKind kind, const std::string& text) override {
        Log.push_back((kind == TMessageKind::Warning ? "warning:" : "message:") + text);
    }
    void ShowError(HWND, const std::string& text) override { Log.push_back("fault:" + text); }
    bool Execute(HWND, TFileDialog& dialog) override {
        Log.push_back("dialog:" + dialog.Filters.at(0).Pattern);
        if (Answers.empty() || !Answers.front()) return false;
        dialog.FileName = *Answers.front();
        Answers.pop_front();
        return true;
    }
    void ShowAbout(HWND) override {}
    void ShowHelp(HWND, const std::string&) override {}
};

std::string Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return WideToUtf8(text);
}

std::string StatusText(HWND bar) {
    wchar_t buffer[1024] = {};
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
    return WideToUtf8(buffer);
}

// A wheel turn of `notches` (negative towards the user) as WM_MOUSEWHEEL's
// WPARAM.
WPARAM Notches(int notches) {
    return WPARAM(WORD(short(notches * WHEEL_DELTA))) << 16;
}

LPARAM At(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

// A pixel centre of the frame inside parcel `parcel`, at least 4 pixels from
// its edges and from every label; false when there is none.
bool FreePixelInside(const preview::TFrame& f, uint32_t parcel, TScreenPoint& found) {
    for (const preview::TFramePolygon& p : f.Polygons) {
        if (p.Parcel != parcel) continue;
        float minX = float(f.Width), maxX = 0, minY = float(f.Height), maxY = 0;
        for (uint32_t v = f.RingStarts[p.FirstRing]; v < f.RingStarts[p.FirstRing + p.RingCount];
             ++v) {
            minX = std::min(minX, f.X(v));
            maxX = std::max(maxX, f.X(v));
            minY = std::min(minY, f.Y(v));
            maxY = std::max(maxY, f.Y(v));
        }
        for (int y = std::max(0, int(minY)); y < std::min(f.Height, int(maxY)); ++y) {
            for (int x = std::max(0, int(minX)); x < std::min(f.Width, int(maxX)); ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                bool inside = false, nearEdge = false;
                for (uint32_t r = p.FirstRing; r < p.FirstRing + p.RingCount; ++r) {
                    const uint32_t first = f.RingStarts[r], end = f.RingStarts[r + 1];
                    for (uint32_t i = first, j = end - 1; i < end; j = i++) {
                        const double xi = f.X(i), yi = f.Y(i), xj = f.X(j), yj = f.Y(j);
                        if ((yi > cy) != (yj > cy) && cx < xi + (cy - yi) * (xj - xi) / (yj - yi))
                            inside = !inside;
                        const double dx = xj - xi, dy = yj - yi, len2 = dx * dx + dy * dy;
                        double t = len2 > 0 ? ((cx - xi) * dx + (cy - yi) * dy) / len2 : 0;
                        t = t < 0 ? 0 : t > 1 ? 1 : t;
                        nearEdge |= std::hypot(xi + t * dx - cx, yi + t * dy - cy) < 4;
                    }
                }
                bool nearLabel = false;
                for (const preview::TFrameLabel& l : f.Labels)
                    nearLabel |= std::abs(cx - l.Box.X) < l.Box.Width / 2 + 4 &&
                                 std::abs(cy - l.Box.Y) < l.Box.Height / 2 + 4;
                if (inside && !nearEdge && !nearLabel) {
                    found = {cx, cy};
                    return true;
                }
            }
        }
    }
    return false;
}

class Win32Preview : public testing::Test {
  protected:
    void SetUp() override {
        frm = std::make_unique<TfrmPreview>(ui, nullptr);
        sim = std::string(QUORVEX_TEST_DATA) + "/golden/town_attr1_swap.sim";
    }
    // A position of the frame on the screen, as the wheel reports it.
    POINT OnScreen(TScreenPoint p) {
        POINT d = frm->ToDevice(p);
        ClientToScreen(frm->Canvas(), &d);
        return d;
    }
    void Canvas(UINT msg, WPARAM wp, TScreenPoint p) {
        SendMessageW(frm->Canvas(), msg, wp, At(frm->ToDevice(p)));
    }
    void ClickAt(TScreenPoint p) {
        Canvas(WM_LBUTTONDOWN, MK_LBUTTON, p);
        Canvas(WM_LBUTTONUP, 0, p);
    }
    TScreenPoint ScreenOf(TWorldPoint w) { return View().ToScreen(w); }
    const preview::TView& View() { return frm->Logic().View(); }
    const TPreviewSelection& Selection() { return frm->Logic().Selection(); }
    void Open(const std::string& path) {
        frm->Logic().Guard([&] { frm->Logic().OpenFile(path); });
    }
    // The middle of a line from a to b as drawn: between its ends rounded
    // to device pixels.
    COLORREF LinePixel(TScreenPoint a, TScreenPoint b) {
        const POINT p = frm->ToDevice(a), q = frm->ToDevice(b);
        return frm->Bitmap().Pixel((p.x + q.x) / 2, (p.y + q.y) / 2);
    }
    // The device pixel that holds a position of the frame.
    COLORREF PixelAt(TScreenPoint p) {
        const double k = frm->Dpi() / 96.0;
        return frm->Bitmap().Pixel(int(std::floor(p.X * k)), int(std::floor(p.Y * k)));
    }

    void Drop(const std::string& path) {
        const std::wstring name = WidePath(path);
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
        auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        name.copy(reinterpret_cast<wchar_t*>(files + 1), name.size());
        GlobalUnlock(drop);
        SendMessageW(frm->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }

    TRecorder ui;
    std::unique_ptr<TfrmPreview> frm;
    std::string sim;
};

TEST_F(Win32Preview, OpensTheExampleFittedAndPaintsTheParcelsFill) {
    Open(sim);
    EXPECT_TRUE(ui.Log.empty()) << ui.Log[0];
    EXPECT_EQ(Text(frm->Handle()), "プレビュー - town_attr1_swap.sim");
    const preview::TPreviewScene& scene = frm->Logic().Scene();
    ASSERT_EQ(scene.Parcels().size(), 6u);
    ASSERT_EQ(scene.Routes().size(), 3u);
    // Fitted: everything in sight, the bitmap as large as the canvas.
    const preview::TBox seen = View().Visible();
    EXPECT_TRUE(seen.Contains({scene.Extent().MinE, scene.Extent().MinN}));
    EXPECT_TRUE(seen.Contains({scene.Extent().MaxE, scene.Extent().MaxN}));
    RECT canvas{};
    GetClientRect(frm->Canvas(), &canvas);
    EXPECT_EQ(frm->Bitmap().Width(), canvas.right);
    EXPECT_EQ(frm->Bitmap().Height(), canvas.bottom);

    // The fill inside each parcel, the outline on its edge, white outside
    // the drawing.
    const preview::TFrame f = preview::BuildFrame(scene, View());
    ASSERT_EQ(f.Polygons.size(), 6u);
    for (uint32_t i = 0; i < 6; ++i) {
        TScreenPoint inside;
        ASSERT_TRUE(FreePixelInside(f, i, inside)) << "parcel " << i;
        EXPECT_EQ(PixelAt(inside), ColourOf(preview::kParcelFill)) << "parcel " << i;
    }
    // Edges are outlined, but where a route or a label lies over them.
    int edges = 0, outlined = 0;
    for (const preview::TFramePolygon& p : f.Polygons) {
        for (uint32_t r = p.FirstRing; r < p.FirstRing + p.RingCount; ++r) {
            const uint32_t first = f.RingStarts[r], end = f.RingStarts[r + 1];
            for (uint32_t i = first, j = end - 1; i < end; j = i++) {
                ++edges;
                outlined += LinePixel({f.X(i), f.Y(i)}, {f.X(j), f.Y(j)}) ==
                            ColourOf(preview::kParcelStroke);
            }
        }
    }
    EXPECT_GT(outlined, edges * 3 / 4) << outlined << " of " << edges;
    EXPECT_EQ(PixelAt({f.Width / 2.0, 2}), RGB(255, 255, 255));
    // The status line counts what is drawn.
    EXPECT_NE(StatusText(frm->StatusBar()).find("6"), std::string::npos);
}

TEST_F(Win32Preview, AtAHigherDpiTheDrawingKeepsItsPlanSizeInMorePixels) {
    Open(sim);
    const int dpi = int(frm->Dpi()) * 2;
    RECT suggested{0, 0, 1800, 1280};
    SendMessageW(frm->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(frm->Dpi(), UINT(dpi));
    // The logic's pixels are those of 96 dpi: the canvas's device pixels
    // halved; the bitmap is the canvas's.
    RECT canvas{};
    GetClientRect(frm->Canvas(), &canvas);
    EXPECT_EQ(frm->Bitmap().Width(), canvas.right);
    EXPECT_NEAR(View().Width(), canvas.right / 2.0, 1e-9);
    EXPECT_NEAR(View().Height(), canvas.bottom / 2.0, 1e-9);
    SendMessageW(frm->FitButton(), BM_CLICK, 0, 0);
    const preview::TFrame& f = frm->Logic().Frame();
    // How much room the side panel leaves depends on the prefix's fonts and
    // the screen: a small parcel may hold no pixel clear of its outline and
    // label. Every parcel that does is filled, and the large ones do.
    int checked = 0;
    for (uint32_t i = 0; i < 6; ++i) {
        TScreenPoint inside;
        if (!FreePixelInside(f, i, inside)) continue;
        ++checked;
        EXPECT_EQ(PixelAt(inside), ColourOf(preview::kParcelFill)) << "parcel " << i;
    }
    EXPECT_GE(checked, 2);
}

TEST_F(Win32Preview, WheelZoomsAboutTheCursorDragPansHomeFits) {
    Open(sim);
    const double fitScale = View().Scale();
    const preview::TWorldPoint fitCentre = View().Center();
    const TScreenPoint cursor{100, 80};
    const TWorldPoint under = View().ToWorld(cursor);
    const POINT screen = OnScreen(cursor);
    SendMessageW(frm->Canvas(), WM_MOUSEWHEEL, Notches(1), At(screen));
    EXPECT_GT(View().Scale(), fitScale);
    // The plan position under the cursor stays there.
    const TWorldPoint after = View().ToWorld(cursor);
    EXPECT_NEAR(after.E, under.E, 1e-6);
    EXPECT_NEAR(after.N, under.N, 1e-6);
    // The status line tells the SIMA X (northing) and Y under the pointer.
    Canvas(WM_MOUSEMOVE, 0, cursor);
    const std::string status = StatusText(frm->StatusBar());
    EXPECT_EQ(status, frm->Logic().StatusText());
    EXPECT_EQ(status.rfind("X ", 0), 0u) << status;
    // A wheel turn on the window reaches the canvas too; back is out.
    SendMessageW(frm->Handle(), WM_MOUSEWHEEL, Notches(-1), At(screen));
    EXPECT_NEAR(View().Scale(), fitScale, fitScale * 1e-9);

    // A drag moves the drawing with the mouse and selects nothing.
    const TWorldPoint grabbed = View().ToWorld({200, 150});
    Canvas(WM_LBUTTONDOWN, MK_LBUTTON, {200, 150});
    EXPECT_EQ(GetCapture(), frm->Canvas());
    Canvas(WM_MOUSEMOVE, MK_LBUTTON, {220, 160});
    Canvas(WM_MOUSEMOVE, MK_LBUTTON, {260, 190});
    Canvas(WM_LBUTTONUP, 0, {260, 190});
    EXPECT_EQ(GetCapture(), nullptr);
    const TWorldPoint dropped = View().ToWorld({260, 190});
    EXPECT_NEAR(dropped.E, grabbed.E, 1e-6);
    EXPECT_NEAR(dropped.N, grabbed.N, 1e-6);
    EXPECT_EQ(Selection().What, TPreviewSelection::None);

    // Home on the canvas and the fit button both bring the whole file back.
    SendMessageW(frm->Canvas(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_DOUBLE_EQ(View().Scale(), fitScale);
    EXPECT_DOUBLE_EQ(View().Center().E, fitCentre.E);
    SendMessageW(frm->Canvas(), WM_MOUSEWHEEL, Notches(3), At(screen));
    SendMessageW(frm->FitButton(), BM_CLICK, 0, 0);
    EXPECT_DOUBLE_EQ(View().Scale(), fitScale);
    EXPECT_DOUBLE_EQ(View().Center().N, fitCentre.N);
}

TEST_F(Win32Preview, ZoomedFarOutParcelsCoverTheirPixels) {
    Open(sim);
    const TScreenPoint middle{View().Width() / 2, View().Height() / 2};
    SendMessageW(frm->Canvas(), WM_MOUSEWHEEL, Notches(-24), At(OnScreen(middle)));
    const preview::TFrame& f = frm->Logic().Frame();
    EXPECT_TRUE(f.Polygons.empty());
    ASSERT_FALSE(f.ParcelRuns.empty());
    int checked = 0;
    for (const preview::TPixelRun& r : f.ParcelRuns) {
        for (int x = r.X0; x < r.X1; ++x) {
            bool route = false;
            for (const preview::TPixelRun& q : f.RouteRuns)
                route |= q.Y == r.Y && x >= q.X0 && x < q.X1;
            if (route) continue;
            EXPECT_EQ(PixelAt({x + 0.5, r.Y + 0.5}), ColourOf(preview::kSmallParcelFill))
                << x << "," << r.Y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(Win32Preview, ClickingAParcelShowsItsFactsAndOutlinesIt) {
    Open(sim);
    const preview::TPreviewScene& scene = frm->Logic().Scene();
    ClickAt(ScreenOf(scene.Parcels()[2].LabelAt));
    EXPECT_EQ(Selection().What, TPreviewSelection::Parcel);
    EXPECT_EQ(Selection().Index, 2u);
    const std::string info = Text(frm->InfoText());
    EXPECT_EQ(info, frm->Logic().InfoText());
    EXPECT_NE(info.find("地番 13-1"), std::string::npos) << info;
    // Its outline in the selection's colour.
    const preview::TFrame f = preview::BuildFrame(scene, View());
    for (const preview::TFramePolygon& p : f.Polygons) {
        if (p.Parcel != 2) continue;
        const uint32_t v = f.RingStarts[p.FirstRing];
        EXPECT_EQ(LinePixel({f.X(v), f.Y(v)}, {f.X(v + 1), f.Y(v + 1)}),
                  ColourOf(kSelectionStroke));
    }
    // Outside everything: nothing chosen, no facts.
    ClickAt({3, 3});
    EXPECT_EQ(Selection().What, TPreviewSelection::None);
    EXPECT_EQ(Text(frm->InfoText()), "");
}

TEST_F(Win32Preview, ShowsAConvertedJobWithItsCoordinateSystem) {
    TConvertSettings job;
    job.MifFile = std::string(QUORVEX_EXAMPLES) + "/town.mif";
    job.AttrIndex = 1;
    TRunReport report;
    TPreviewSource source;
    source.Name = "town.mif";
    source.File = preview::ConvertAndReadBack(job, &report);
    source.CoordSysText = DescribeCoordSys(report.CoordSys, TLanguage::Japanese);
    frm->ShowSource(std::move(source));
    frm->Show();
    EXPECT_TRUE(ui.Log.empty()) << ui.Log[0];
    EXPECT_TRUE(IsWindowVisible(frm->Handle()));
    EXPECT_EQ(Text(frm->Handle()), "プレビュー - town.mif");
    EXPECT_EQ(frm->Logic().Scene().Parcels().size(), 6u);
    const std::string status = StatusText(frm->StatusBar());
    EXPECT_NE(status.find(DescribeCoordSys(report.CoordSys, TLanguage::Japanese)),
              std::string::npos)
        << status;
    // Chosen for the picture: the parcel that lies across the route.
    ClickAt(ScreenOf(frm->Logic().Scene().Parcels()[1].LabelAt));
    EXPECT_EQ(Selection().What, TPreviewSelection::Parcel);
    SaveScreenshot(frm->Handle(), "preview-windows.bmp");
    // Closing hides the window; the next preview shows it again.
    SendMessageW(frm->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(frm->Handle()));
    EXPECT_FALSE(IsWindowVisible(frm->Handle()));
}

// Lot numbers: parcel 1 has none, 2 and 3 share "7".
constexpr char kMarked[] =
    "G00,02,marks,\n"
    "A00,\n"
    "A01,1,1,0,0,0,\nA01,2,2,0,10,0,\nA01,3,3,10,10,0,\nA01,4,4,10,0,0,\n"
    "A01,5,5,0,20,0,\nA01,6,6,10,20,0,\nA01,7,7,0,30,0,\nA01,8,8,10,30,0,\n"
    "A99,\n"
    "D00,1,,1,\nB01,1,1,\nB01,2,2,\nB01,3,3,\nB01,4,4,\nD99,\n"
    "D00,2,7,1,\nB01,2,2,\nB01,5,5,\nB01,6,6,\nB01,3,3,\nD99,\n"
    "D00,3,7,1,\nB01,5,5,\nB01,7,7,\nB01,8,8,\nB01,6,6,\nD99,\n";

TEST_F(Win32Preview, AMarkEntrySelectsAndZoomsToItsParcel) {
    test::TempDir dir;
    const std::string path = dir / "marked.sim";
    test::WriteBytes(path, kMarked);
    Open(path);
    ASSERT_TRUE(ui.Log.empty()) << ui.Log[0];
    HWND list = frm->MarkList();
    // The parcel without a lot number first, then those sharing one.
    const std::vector<preview::TMark>& marks = frm->Logic().Marks();
    ASSERT_GE(marks.size(), 2u);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), LRESULT(marks.size()));
    EXPECT_EQ(marks.front().Kind, preview::TMarkKind::NoLotNumber);
    EXPECT_EQ(marks.back().Kind, preview::TMarkKind::SharedLotNumber);
    const std::vector<std::string> texts = frm->Logic().MarkTexts();
    const double fitScale = View().Scale();
    for (const int entry : {0, int(marks.size()) - 1}) {
        SCOPED_TRACE(entry);
        wchar_t item[256] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(WideToUtf8(item), texts[size_t(entry)]);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        const uint32_t parcel = marks[size_t(entry)].Object;
        EXPECT_EQ(Selection().What, TPreviewSelection::Parcel);
        EXPECT_EQ(Selection().Index, parcel);
        // Zoomed to it: the parcel whole in sight and larger than fitted.
        const preview::TBox& box = frm->Logic().Scene().Parcels()[parcel].Box;
        const preview::TBox seen = View().Visible();
        EXPECT_TRUE(seen.Contains({box.MinE, box.MinN}) && seen.Contains({box.MaxE, box.MaxN}));
        EXPECT_GT(View().Scale(), fitScale);
    }
}

TEST_F(Win32Preview, OpenButtonAndDroppedFileReplaceTheDrawingAndABadFileIsReported) {
    test::TempDir dir;
    const std::string marked = dir / "marked.sim", bad = dir / "bad.sim";
    test::WriteBytes(marked, kMarked);
    test::WriteBytes(bad, "A00,\nA01,1,1,x,0,0,\nA99,\n");
    ui.Answers = {sim, bad};
    SendMessageW(frm->OpenButton(), BM_CLICK, 0, 0);
    ASSERT_EQ(ui.Log.size(), 1u);
    EXPECT_EQ(ui.Log[0], "dialog:*.sim");
    EXPECT_EQ(frm->Logic().Scene().Parcels().size(), 6u);
    // A file that does not read leaves the drawing as it was.
    SendMessageW(frm->OpenButton(), BM_CLICK, 0, 0);
    ASSERT_EQ(ui.Log.size(), 3u);
    EXPECT_EQ(ui.Log[2].rfind("fault:", 0), 0u) << ui.Log[2];
    EXPECT_NE(ui.Log[2].find("2"), std::string::npos) << ui.Log[2];  // names the line
    EXPECT_EQ(frm->Logic().Scene().Parcels().size(), 6u);

    // A SIMA file dropped on the window, as the shell hands it over; a MIF
    // file is turned away.
    Drop(marked);
    EXPECT_EQ(frm->Logic().Scene().Parcels().size(), 3u);
    EXPECT_EQ(Text(frm->Handle()), "プレビュー - marked.sim");
    Drop(std::string(QUORVEX_EXAMPLES) + "/town.mif");
    ASSERT_EQ(ui.Log.size(), 4u);
    EXPECT_EQ(ui.Log[3], std::string("warning:") + msg::kPreviewDropOnly);
    EXPECT_EQ(frm->Logic().Scene().Parcels().size(), 3u);
}

TEST(Win32PreviewMenu, ThePanelsJobOpensInTheOnePreviewWindow) {
    test::TempDir dir;
    TRecorder ui;
    TPlacementStore store;
    store.Path = dir / "Quorvex.INI";
    store.FallbackPath = dir / "config/Quorvex.INI";
    TfrmMain main(ui, store);
    main.Show();
    const auto preview = [&main] {
        SendMessageW(main.Handle(), WM_COMMAND, ControlId(TControl::P1), 0);
    };
    // Nothing to preview yet: told why, no window.
    preview();
    ASSERT_EQ(ui.Log.size(), 1u);
    EXPECT_EQ(ui.Log[0], std::string("warning:") + msg::kNothingToPreview);
    EXPECT_EQ(main.Preview(), nullptr);

    const std::string mif = std::string(QUORVEX_EXAMPLES) + "/town.mif";
    SetWindowTextW(main.Control(TControl::edtMifFile), Utf8ToWide(mif).c_str());
    preview();
    ASSERT_EQ(ui.Log.size(), 1u) << ui.Log.back();
    TfrmPreview* frm = main.Preview();
    ASSERT_NE(frm, nullptr);
    EXPECT_TRUE(IsWindowVisible(frm->Handle()));
    EXPECT_EQ(GetWindow(frm->Handle(), GW_OWNER), main.Handle());
    EXPECT_EQ(Text(frm->Handle()), "プレビュー - town.mif");
    EXPECT_EQ(frm->Logic().Scene().Parcels().size(), 6u);
    // The main window's keys stay its own: Ctrl+O on the preview opens the
    // preview's dialog.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG ctrlO{frm->Canvas(), WM_KEYDOWN, 'O', 0, 0, {}};
    EXPECT_TRUE(main.PreTranslateMessage(ctrlO));
    ASSERT_EQ(ui.Log.size(), 2u);
    EXPECT_EQ(ui.Log[1], "dialog:*.sim");
    // Home anywhere but in the marks' list fits the drawing.
    const double fitScale = frm->Logic().View().Scale();
    SendMessageW(frm->Canvas(), WM_MOUSEWHEEL, Notches(2), At({0, 0}));
    ASSERT_NE(frm->Logic().View().Scale(), fitScale);
    MSG home{frm->FitButton(), WM_KEYDOWN, VK_HOME, 0, 0, {}};
    EXPECT_TRUE(main.PreTranslateMessage(home));
    EXPECT_EQ(frm->Logic().View().Scale(), fitScale);
    // Closed, then asked for again with Ctrl+P: the same window comes back.
    SendMessageW(frm->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(frm->Handle()));
    MSG ctrlP{main.Handle(), WM_KEYDOWN, 'P', 0, 0, {}};
    EXPECT_TRUE(main.PreTranslateMessage(ctrlP));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(main.Preview(), frm);
    EXPECT_TRUE(IsWindowVisible(frm->Handle()));
    // The preview wrote no SIMA file beside the table.
    EXPECT_FALSE(FileExists(std::string(QUORVEX_EXAMPLES) + "/town.sim"));
}

}  // namespace
}  // namespace quorvex
