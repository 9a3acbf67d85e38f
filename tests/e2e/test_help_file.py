"""The compiled help file: its topic table maps the Help buttons' numbers to pages that
are really stored in it, the pages are Japanese HTML a user can read, and under Wine
the help component finds a window for each known number and refuses an unknown one."""

import re
import shutil
import tempfile
import unittest
from html.parser import HTMLParser
from pathlib import Path, PureWindowsPath

import harness
from compiled_help import chm_file, extract, topic_table
from texts import ALL_STORAGE_VISTA, NOTHING_TO_REMOVE

# Topic number -> page, as the program's Help buttons ask for them.
TOPICS = {
    12000: "main.html",
    12100: "device_list.html",
    12101: "hotkey.html",
    12102: "display_settings.html",
    12103: "options.html",
    12104: "version.html",
}
# Each page is titled after the window it describes.
TITLES = {
    "main.html": "Tollevane",
    "device_list.html": "ホットキー設定",
    "hotkey.html": "ホットキーの設定",
    "display_settings.html": "表示設定",
    "options.html": "オプション",
    "version.html": "バージョン情報",
}
UNKNOWN_TOPIC = 12999

JAPANESE = re.compile(r"[\u3040-\u30ff\u4e00-\u9fff]")
VOID_TAGS = {"meta", "link", "br", "img", "hr", "input", "col", "area", "base", "wbr"}


class PageParser(HTMLParser):
    """Title, body text, links and the tags still open at the end."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title = ""
        self.body = ""
        self.links: list[str] = []
        self.lang = None
        self.charset = None
        self.open: list[str] = []
        self.mismatched: list[str] = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "html":
            self.lang = attrs.get("lang")
        if tag == "meta" and "charset" in attrs:
            self.charset = attrs["charset"].lower()
        if tag in ("a", "link") and attrs.get("href"):
            self.links.append(attrs["href"])
        if tag not in VOID_TAGS:
            self.open.append(tag)

    def handle_endtag(self, tag):
        if tag in VOID_TAGS:
            return
        if self.open and self.open[-1] == tag:
            self.open.pop()
        else:
            self.mismatched.append(tag)

    def handle_data(self, data):
        if "title" in self.open:
            self.title += data
        elif "body" in self.open:
            self.body += data


class TopicTable(unittest.TestCase):

    def setUp(self):
        chm = chm_file()
        if not chm.exists():
            self.fail(f"{chm} is not built")
        self.folder = Path(tempfile.mkdtemp(prefix="chm-"))
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.streams = {"/" + name.lstrip("/") for name in extract(chm, self.folder)}

    def stream(self, name: str) -> bytes:
        return (self.folder / name.lstrip("/")).read_bytes()

    def test_topic_numbers_lead_to_stored_pages(self):
        table = topic_table(self.stream("#IVB"), self.stream("#STRINGS"))
        self.assertEqual(sorted(table), sorted(TOPICS), "exactly the Help buttons' numbers")
        for topic, page in TOPICS.items():
            with self.subTest(topic=topic):
                # The viewer opens the alias target as a stream of the file. A target under
                # a folder would be the build folder, and the file would differ per build.
                self.assertEqual(table[topic], page)
                self.assertIn("/" + page, self.streams)

    def test_pages_are_japanese_html_whose_links_resolve(self):
        for page, title in TITLES.items():
            with self.subTest(page=page):
                self.assertIn("/" + page, self.streams)
                parser = PageParser()
                parser.feed(self.stream("/" + page).decode("utf-8"))
                parser.close()
                self.assertEqual((parser.lang, parser.charset), ("ja", "utf-8"))
                self.assertEqual(parser.title.strip(), title)
                self.assertEqual((parser.open, parser.mismatched), ([], []), "tags balanced")
                # A heading alone tells a user nothing: at least one Japanese sentence.
                body = re.sub(r"\s+", " ", parser.body).strip()
                sentences = [t for t in re.findall(r"[^。]+。", body) if JAPANESE.search(t)]
                self.assertTrue(sentences, f"no Japanese sentence describes the window: {body!r}")
                for link in parser.links:
                    if re.match(r"[a-z]+:", link):
                        continue
                    self.assertIn("/" + link.split("#")[0], self.streams, f"link {link}")

    def test_main_topic_documents_every_command_line_form_and_status(self):
        parser = PageParser()
        parser.feed(self.stream("/main.html").decode("utf-8"))
        for form in ('"デバイス名"', "E:", "/list", "/utf8", "/create", "/delete", "終了コード", "Tollevane.com",
                     "932", "255", "/label:", "/whatif", "/wait:", "/?", "C:\\mnt\\backup"):
            self.assertIn(form, parser.body)
        statuses = re.findall(r"<td>([0-9])</td>", self.stream("/main.html").decode("utf-8"))
        self.assertEqual(statuses, ["0", "1", "2", "3"])

    def test_main_topic_describes_what_each_click_on_the_tray_icon_does(self):
        parser = PageParser()
        parser.feed(self.stream("/main.html").decode("utf-8"))
        for said in ("左クリック", "ダブルクリック", "右クリック", NOTHING_TO_REMOVE, ALL_STORAGE_VISTA, "(E: 写真)"):
            self.assertIn(said, parser.body)


class HelpUnderWine(harness.TestCase):

    def test_known_topics_open_a_window_and_an_unknown_one_does_not(self):
        with self.session("10") as s:
            chm = PureWindowsPath(harness.PROGRAM_DIR) / "Tollevane.chm"
            shutil.copy2(chm_file(), s.unix_path(chm))
            ids = [*TOPICS, UNKNOWN_TOPIC]
            result = s.helper("helpprobe", str(chm), *map(str, ids), timeout=60)
            self.assertEqual(result.status, 0, result.stderr[-2000:])
            answers = dict(line.split("\t") for line in result.stdout.splitlines())
            self.assertEqual(sorted(map(int, answers)), sorted(ids))
            for topic in TOPICS:
                self.assertNotEqual(int(answers[str(topic)], 16), 0, f"topic {topic} opens the help window")
            self.assertEqual(int(answers[str(UNKNOWN_TOPIC)], 16), 0, "an unknown topic is refused")


if __name__ == "__main__":
    unittest.main()
