#!/usr/bin/env python3
"""README.md and README.ja.md tell the same sections in the same order: their
headings (#, ## and ###) are compared by level and position, since their
words differ by language. Each README links to the other before its first
section. Every relative link of the READMEs and of docs/ reaches a file or
folder of the repository, and a link to a heading of a Markdown file reaches
a heading that is there (as GitHub names its anchors).

Usage: readme_docs_test.py SOURCE_DIR
"""

import re
import sys
import unittest
from pathlib import Path
from urllib.parse import unquote

ROOT = None  # from the command line

FENCE = re.compile(r"^ {0,3}(`{3,}|~{3,})")
HEADING = re.compile(r"^(#{1,6})[ \t]+(.*?)(?:[ \t]+#+)?[ \t]*$")
CODE_SPAN = re.compile(r"(`+)(.+?)\1", re.DOTALL)
INLINE_LINK = re.compile(r"!?\[((?:[^\[\]]|\[[^\[\]]*\])*)\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE_DEFINITION = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s|$)")
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")


def prose_blocks(text):
    """The paragraphs outside fenced and indented code, each as (first line
    number, its lines joined by newlines)."""
    blocks = []
    current, start = [], 0
    fence = None
    in_indented_code = False
    previous_blank = True

    def close():
        nonlocal current
        if current:
            blocks.append((start, "\n".join(current)))
        current = []

    for number, line in enumerate(text.splitlines(), 1):
        blank = line.strip() == ""
        if fence:
            if line.strip().startswith(fence):
                fence = None
            previous_blank = False
            continue
        opening = FENCE.match(line)
        if opening:
            close()
            fence = opening.group(1)[0] * 3
            previous_blank = False
            continue
        indented = line.startswith("    ") or line.startswith("\t")
        if indented and (previous_blank or in_indented_code) and not current:
            in_indented_code = True
            previous_blank = False
            continue
        if blank:
            close()
            previous_blank = True
            continue
        in_indented_code = False
        previous_blank = False
        if not current:
            start = number
        current.append(line)
    close()
    return blocks


def headings(text):
    """Every heading outside code as (level, title, line number)."""
    found = []
    for start, block in prose_blocks(text):
        for offset, line in enumerate(block.split("\n")):
            match = HEADING.match(line)
            if match:
                found.append((len(match.group(1)), match.group(2), start + offset))
    return found


def outline(text):
    """The headings of levels 1 to 3, which the two READMEs share."""
    return [(level, title) for level, title, _ in headings(text) if level <= 3]


def compare_outlines(first_name, first, second_name, second):
    """What keeps two outlines from matching by level and position."""
    problems = []
    for position, (a, b) in enumerate(zip(first, second), 1):
        if a[0] != b[0]:
            problems.append(
                f"heading {position}: {first_name} has {'#' * a[0]} {a[1]}, "
                f"{second_name} has {'#' * b[0]} {b[1]}")
            break
    for name, longer, shorter in ((first_name, first, second), (second_name, second, first)):
        for level, title in longer[len(shorter):]:
            problems.append(f"only {name} has {'#' * level} {title}")
    return problems


def anchor_of(title):
    """The anchor GitHub gives a heading: its text in lower case, without
    punctuation, spaces as hyphens."""
    text = INLINE_LINK.sub(lambda m: m.group(1), title)
    text = text.replace("`", "").lower()
    text = "".join(c for c in text if c.isalnum() or c in " -_")
    return text.replace(" ", "-")


def anchors(text):
    names, seen = set(), {}
    for _, title, _ in headings(text):
        name = anchor_of(title)
        count = seen.get(name, 0)
        seen[name] = count + 1
        names.add(name if count == 0 else f"{name}-{count}")
    return names


def links(text):
    """Every link target outside code as (line number, target)."""
    found = []
    for start, block in prose_blocks(text):
        without_code = CODE_SPAN.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), block)
        for match in INLINE_LINK.finditer(without_code):
            found.append((start + without_code.count("\n", 0, match.start()), match.group(2)))
        for offset, line in enumerate(without_code.split("\n")):
            definition = REFERENCE_DEFINITION.match(line)
            if definition:
                found.append((start + offset, definition.group(1)))
    return found


def broken_links(path, root):
    """The relative links of one Markdown file that reach nothing."""
    problems = []
    text = path.read_text(encoding="utf-8")
    for line, target in links(text):
        if SCHEME.match(target):
            continue
        where = f"{path.relative_to(root)}:{line}: {target}"
        file_part, _, anchor = target.partition("#")
        destination = (path.parent / unquote(file_part)).resolve() if file_part else path
        if root not in destination.parents and destination != root:
            problems.append(f"{where} leads out of the repository")
        elif not destination.exists():
            problems.append(f"{where} names no file")
        elif anchor and destination.suffix == ".md":
            if unquote(anchor) not in anchors(destination.read_text(encoding="utf-8")):
                problems.append(f"{where} names no heading of {destination.name}")
    return problems


class HelpersTest(unittest.TestCase):
    """The reading above, on small texts whose answer is known."""

    def test_headings_inside_code_are_not_headings(self):
        text = "# Title\n\n    # a shell comment\n\n```\n## in a fence\n```\n\n## Real\n"
        self.assertEqual(outline(text), [(1, "Title"), (2, "Real")])

    def test_indented_lines_of_a_list_item_are_not_code(self):
        text = "- item\n    [a](missing.md)\n"
        self.assertEqual(links(text), [(2, "missing.md")])

    def test_outlines_match_by_level_and_position_not_by_words(self):
        english = [(1, "Drennix"), (2, "What it does"), (3, "Details")]
        japanese = [(1, "Drennix"), (2, "できること"), (3, "詳細")]
        self.assertEqual(compare_outlines("en", english, "ja", japanese), [])

    def test_a_section_in_one_only_is_found(self):
        english = [(1, "Drennix"), (2, "A"), (3, "A.1"), (2, "B")]
        japanese = [(1, "Drennix"), (2, "あ"), (2, "い")]
        problems = compare_outlines("en", english, "ja", japanese)
        self.assertIn("heading 3: en has ### A.1, ja has ## い", problems)
        self.assertIn("only en has ## B", problems)

    def test_anchors_follow_github(self):
        text = ("## Reference returns, machine coordinates, work offsets and inch programs\n\n"
                "## What `make bench` measures\n\n## 原点復帰・機械座標\n\n## Notes\n\n## Notes\n")
        self.assertEqual(anchors(text), {
            "reference-returns-machine-coordinates-work-offsets-and-inch-programs",
            "what-make-bench-measures", "原点復帰機械座標", "notes", "notes-1"})

    def test_links_in_code_spans_are_not_links_and_links_may_span_lines(self):
        text = "See `[x](nothing.md)` and [the\nsettings](docs/settings.md#the-settings-file).\n"
        self.assertEqual(links(text), [(1, "docs/settings.md#the-settings-file")])


class ReadmesTest(unittest.TestCase):

    def read(self, name):
        return (ROOT / name).read_text(encoding="utf-8")

    def test_the_two_readmes_have_the_same_sections(self):
        english, japanese = outline(self.read("README.md")), outline(self.read("README.ja.md"))
        self.assertGreater(len(english), 1)
        problems = compare_outlines("README.md", english, "README.ja.md", japanese)
        self.assertEqual(problems, [], "\n".join(problems))

    def test_each_readme_links_to_the_other_before_its_first_section(self):
        for name, other in (("README.md", "README.ja.md"), ("README.ja.md", "README.md")):
            text = self.read(name)
            top = text[:text.index("\n## ")] if "\n## " in text else text
            self.assertIn(other, [target for _, target in links(top)], f"{name} does not link to {other} at the top")

    def test_relative_links_reach_their_files(self):
        pages = [ROOT / "README.md", ROOT / "README.ja.md"] + sorted((ROOT / "docs").rglob("*.md"))
        problems = [problem for page in pages for problem in broken_links(page, ROOT)]
        self.assertEqual(problems, [], "\n".join(problems))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        sys.exit(2)
    ROOT = Path(sys.argv.pop(1)).resolve()
    unittest.main()
