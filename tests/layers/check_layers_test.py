#!/usr/bin/env python3
"""scripts/check-layers against fixture trees: a clean tree that uses everything the rules allow
passes, and a violation of each rule planted into a copy of it is reported at its file and line."""
import importlib.machinery
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check-layers")
_loader = importlib.machinery.SourceFileLoader("check_layers", SCRIPT)
_spec = importlib.util.spec_from_loader("check_layers", _loader)
check_layers = importlib.util.module_from_spec(_spec)
_loader.exec_module(check_layers)

# Every include, header and release below is allowed where it stands.
CLEAN = {
    "src/base/Text.h": "#pragma once\n#include <string>\n",
    "src/base/Text.cpp": '#include "base/Text.h"\n#include "Text.h"\n',
    "src/base/Handle_win.h": (
        "#pragma once\n#include <windows.h>\n"
        "struct Handle { ~Handle() { if (h) CloseHandle(h); } HANDLE h; };\n"),
    "src/history/Store.h": '#pragma once\n#include "base/Text.h"\n',
    "src/history/Store.cpp": '#include "Store.h"\n',
    "src/web/Title.h": '#pragma once\n#include "base/Text.h"\n',
    "src/capture/Rule.h": '#pragma once\n#include "web/Title.h"\n',
    "src/capture/Clip_win.h": "#pragma once\n#include <windows.h>\n",
    "src/capture/Clip_win.cpp": (
        '#include "capture/Clip_win.h"\n'
        '#include "base/Handle_win.h"\n'
        '#include "history/Store.h"\n'
        '#include "nkf32_win.h"\n'
        "// CloseClipboard(); in a comment\n"
        "/* GlobalFree(h);\n"
        "   DeleteObject(b); */\n"
        'const char* s = "CloseHandle(h) \\" DestroyMenu(m)";\n'
        'const char* r = R"x(first line "\n'
        'HeapFree(p) )x";\n'
        "char q = '\"'; char c = '('; // DestroyIcon(i)\n"
        "void f(Session& s, Session* p) { s.CloseClipboard(); p->CloseClipboard(); clip::CloseClipboard(); }\n"
        "void g(HANDLE h) { CloseHandle(h); } // layer-check: manual release, the caller hands it over\n"),
    "src/ui/Store.h": "#pragma once\n",
    "src/ui/View.h": '#pragma once\n#include "Store.h"\n#include "history/Store.h"\n',
    "src/ui/View.cpp": '#include "ui/View.h"\n#include "../capture/Rule.h"\n#include <web/Title.h>\n',
    "src/app/ids.h": "#pragma once\n",
    "src/app/app.rc": '#include <winver.h>\n#include "app/ids.h"\n',
    "src/app/Main_win.cpp": (
        '#include <commctrl.h>\n#include "ui/View.h"\n#include "capture/Clip_win.h"\n'
        '#include "base/Text.h"\n#include "app/ids.h"\n'),
    "nkf32/nkf32_win.h": "#pragma once\n#include <windows.h>\n",
    "nkf32/Convert.h": "#pragma once\n",
    "nkf32/Convert.cpp": '#include "Convert.h"\n',
    "nkf32/Exports_win.cpp": '#include "nkf32_win.h"\n#include "Convert.h"\n',
    "nkf32/tools/gen.py": "print('#include \"base/Text.h\"')\n",
}
CHECKED_FILES = sum(1 for p in CLEAN if not p.endswith(".py"))


class Fixture:
    def __init__(self, planted=None):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        for path, text in {**CLEAN, **(planted or {})}.items():
            full = os.path.join(self.root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as f:
                f.write(text)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.dir.cleanup()

    def violations(self):
        return check_layers.check(self.root)[1]

    def run(self):
        return subprocess.run([sys.executable, SCRIPT, "--root", self.root], capture_output=True, text=True)


class CheckLayersTest(unittest.TestCase):
    def assert_only(self, planted, path, line, reason):
        with Fixture(planted) as tree:
            found = tree.violations()
        self.assertEqual([(v.path, v.line) for v in found], [(path, line)], [str(v) for v in found])
        self.assertIn(reason, found[0].reason)

    def test_clean_tree_passes(self):
        with Fixture() as tree:
            self.assertEqual([str(v) for v in tree.violations()], [])
            out = tree.run()
        self.assertEqual((out.returncode, out.stdout), (0, f"layer check: {CHECKED_FILES} files, clean\n"))

    def test_include_of_a_higher_folder(self):
        cases = [
            ("src/base/Bad.h", '#pragma once\n#include "history/Store.h"\n', 2, 'base includes "history/Store.h": history is above base'),
            ("src/history/Bad.cpp", '#include "ui/View.h"\n', 1, "ui is above history"),
            ("src/capture/Bad.cpp", '// ids\n#include "app/ids.h"\n', 2, "app is above capture"),
            ("src/history/Up.cpp", '#include "capture/Rule.h"\n', 1, "capture is above history"),
            ("src/web/Up.h", '#include "capture/Rule.h"\n', 1, "capture is above web"),
            ("src/ui/Bad.cpp", '#include "app/ids.h"\n', 1, "app is above ui"),
            ("src/ui/Rel.cpp", '#include "../app/ids.h"\n', 1, 'ui includes "../app/ids.h"'),
            ("src/web/Angle.cpp", "#include <ui/View.h>\n", 1, "ui is above web"),
            ("src/base/Ghost.cpp", '#  include "capture/NotYetWritten.h"\n', 1, "capture is above base"),
        ]
        for path, text, line, reason in cases:
            with self.subTest(path):
                self.assert_only({path: text}, path, line, reason)

    def test_include_in_a_comment_or_excluded_file_is_not_an_include(self):
        with Fixture({"src/base/Doc.h": '/*\n#include "app/ids.h"\n*/\n// #include "ui/View.h"\n'}) as tree:
            self.assertEqual(tree.violations(), [])

    # Either way round: a cycle between the two could otherwise pass.
    def test_include_between_folders_of_equal_rank(self):
        cases = [
            ("src/web/Back.h", '#pragma once\n#include "history/Store.h"\n', 2, 'web includes "history/Store.h": history is level with web'),
            ("src/history/Title.cpp", "#include <web/Title.h>\n", 1, "web is level with history"),
        ]
        for path, text, line, reason in cases:
            with self.subTest(path):
                self.assert_only({path: text}, path, line, reason)

    def test_nkf32_includes_nothing_from_src(self):
        for included in ['"base/Text.h"', '"../src/base/Text.h"', "<history/Store.h>", '"ui/NotYetWritten.h"']:
            with self.subTest(included):
                self.assert_only({"nkf32/Bad.cpp": f"#include {included}\n"}, "nkf32/Bad.cpp", 1, f"nkf32 includes {included} from src/")

    def test_portable_file_includes_no_windows_header(self):
        cases = [
            ("src/web/Sdk.h", "#pragma once\n#include <windows.h>\n", 2, "<windows.h>"),
            ("src/web/Sdk.cpp", "#include <Windows.h>\n", 1, "<Windows.h>"),
            ("src/history/Path.cpp", '#include "shlwapi.h"\n', 1, '"shlwapi.h"'),
            ("src/base/Ui.cpp", "#include <commctrl.h>\n", 1, "<commctrl.h>"),
            ("nkf32/Api.h", "#include <wininet.h>\n", 1, "<wininet.h>"),
            ("src/app/Uses.cpp", '#include "capture/Clip_win.h"\n', 1, 'Windows-only header "capture/Clip_win.h"'),
        ]
        for path, text, line, reason in cases:
            with self.subTest(path):
                self.assert_only({path: text}, path, line, reason)

    def test_raw_release_call_outside_base(self):
        for name in ["CloseHandle", "GlobalFree", "DeleteObject", "DestroyMenu", "DestroyIcon", "HeapFree", "CloseClipboard"]:
            with self.subTest(name):
                self.assert_only({"src/ui/Free_win.cpp": f"void f() {{\n    {name}(x);\n}}\n"},
                                 "src/ui/Free_win.cpp", 2, f"raw release call {name}() outside src/base/")
        cases = [
            ("nkf32/Close_win.cpp", "void f(HANDLE h) { CloseHandle(h); }\n", 1),
            ("src/web/Spaced_win.cpp", "void f() { if (h) ::CloseHandle (h); }\n", 1),
            ("src/web/Split_win.cpp", "void f() {\n    DeleteObject\n        (b);\n}\n", 2),
            ("src/web/After_win.cpp", "/* a\n   b */ DestroyIcon(i);\n", 2),
            ("src/web/Digits_win.cpp", "int n = 1'000; GlobalFree(p);\n", 1),
            ("src/web/Wide_win.cpp", "wchar_t c = L'x'; HeapFree(heap, 0, p);\n", 1),
            ("src/web/Above_win.cpp", "// layer-check: manual release\nCloseClipboard();\n", 2),
            ("src/web/Block_win.cpp", "/* layer-check: manual release\n */ CloseHandle(h);\n", 2),
            ("src/web/Quoted_win.cpp", 'puts("// layer-check: manual release"); CloseHandle(h);\n', 1),
        ]
        for path, text, line in cases:
            with self.subTest(path):
                self.assert_only({path: text}, path, line, "raw release call")

    def test_folder_in_no_layer(self):
        self.assert_only({"src/util/Helper.h": "#pragma once\n"}, "src/util/Helper.h", 1, "folder src/util/ is in no layer")
        self.assert_only({"src/Loose.h": "#pragma once\n"}, "src/Loose.h", 1, "a file directly in src/ is in no layer")

    def test_command_line_reports_and_fails(self):
        planted = {"src/ui/Bad_win.cpp": '#include "app/ids.h"\nvoid f() { DestroyMenu(m); }\n',
                   "nkf32/Bad.cpp": '#include "base/Text.h"\n'}
        with Fixture(planted) as tree:
            out = tree.run()
        self.assertEqual(out.returncode, 1)
        lines = out.stdout.splitlines()
        self.assertEqual(lines[0], 'nkf32/Bad.cpp:1: nkf32 includes "base/Text.h" from src/')
        self.assertEqual(lines[1], 'src/ui/Bad_win.cpp:1: ui includes "app/ids.h": app is above ui '
                                   "(base 0, history 1, web 1, capture 2, ui 3, app 4)")
        self.assertEqual(lines[2], "src/ui/Bad_win.cpp:2: raw release call DestroyMenu() outside src/base/")
        self.assertEqual(lines[3:], [f"layer check: {CHECKED_FILES + 2} files, 3 violations"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
