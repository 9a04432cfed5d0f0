"""The frame as a user meets it: a centred main window with its two dialogs
and the version footer, which closes cleanly."""
import harness
from harness import PlayerTest

SHEET_STYLE = 0x40B00040  # WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL | DS_SETFONT
HEADER_STYLE = 0x40800040


class ShellTest(PlayerTest):
    def test_main_window_layout_and_close(self):
        player = self.launch()
        main = player.info(player.main)
        self.assertEqual(main.cls, "WindowsApp")
        self.assertEqual((main.w, main.h), (544, 375))
        self.assertEqual((main.sx, main.sy), ((1024 - 544) // 2, (768 - 375) // 2))

        kids = player.top_children()
        dialogs = [c for c in kids if c.cls == "#32770"]
        sheet = [c for c in dialogs if c.style & 0x00300000]
        header = [c for c in dialogs if (c.style & 0x00300000) == 0]
        self.assertEqual(len(sheet), 1, dialogs)
        self.assertEqual(len(header), 1, dialogs)
        W, H = main.cw, main.ch
        self.assertEqual((sheet[0].x, sheet[0].y, sheet[0].w, sheet[0].h), (5, 50, W - 11, H - 68))
        self.assertEqual((header[0].x, header[0].y, header[0].w, header[0].h), (5, 2, W - 11, 49))
        # The platform adds WS_VISIBLE once shown and DS_3DLOOK to every dialog.
        self.assertEqual(header[0].style & ~0x10000004, HEADER_STYLE)
        self.assertEqual(sheet[0].style & ~0x10000004, SHEET_STYLE)
        footer = [c for c in kids if c.id == 8000 and c.cls.lower() == "static"]
        self.assertEqual(len(footer), 1)
        self.assertEqual(footer[0].text, "R\u00e9alis\u00e9 avec la version 2.1.4.3  ")
        self.assertEqual((footer[0].x, footer[0].y, footer[0].w, footer[0].h), (W - 155, H - 16, 150, 15))
        harness.screenshot("shell-default")

        self.assertEqual(player.close(), 0)


if __name__ == "__main__":
    harness.main()
