#!/usr/bin/env python3
"""Writes every description of quorvex-convert's options from one table.

Usage: python3 scripts/gen_cli_options.py --table src/cli/options.txt
           --version 2.0.0.77 --man-template-en quorvex-convert.1.in
           --man-template-ja ja/quorvex-convert.1.in --help-source docs/help
           --out OUT

Writes into OUT:
  options_table.h           the parser's table and --help in both languages
  man/quorvex-convert.1     the manual pages, English and Japanese, from
  man/ja/quorvex-convert.1  their templates (@OPTIONS@, @PROJECT_VERSION@)
  quorvex-convert.bash      the bash completion
  help/                     the window's help with its command-line page in
                            place of <!-- @COMMAND_LINE@ -->, and its index

Runs on the build machine at build time, for the native and the MinGW build
alike. Files are rewritten only when their bytes change, so an unchanged
table rebuilds nothing.
"""

import argparse
import configparser
import html
import os
import re
import unicodedata

HELP_WIDTH = 79  # display columns of --help
HELP_INDENT = 20  # where the option texts begin
MAN_JA_WIDTH = 56  # display columns of a Japanese manual-page source line


class Option:
    def __init__(self, name, fields):
        self.long = name
        self.short = fields.get("short", "")
        self.argument = fields.get("argument", "")
        self.job = fields.get("job", "no") == "yes"
        self.complete = fields.get("complete", "none" if self.argument else "")
        self.en = " ".join(fields["en"].split())
        self.ja = " ".join(fields["ja"].split())
        if not re.fullmatch(r"--[a-z][a-z-]*", name):
            raise SystemExit(f"bad option name {name}")
        if self.short and not re.fullmatch(r"[a-zA-Z]", self.short):
            raise SystemExit(f"bad short form of {name}")

    @property
    def ident(self):
        return "".join(w.capitalize() for w in self.long[2:].split("-"))

    def label(self):
        """-v, --verbose or --zone N, as --help shows it."""
        names = (f"-{self.short}, " if self.short else "") + self.long
        return names + (f" {self.argument}" if self.argument else "")


def read_table(path):
    parser = configparser.RawConfigParser(interpolation=None, empty_lines_in_values=True)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    options, texts = [], {}
    for section in parser.sections():
        fields = dict(parser.items(section))
        if section.startswith("@"):
            texts[section[1:]] = fields
        else:
            options.append(Option(section, fields))
    return options, texts


def paragraphs(text):
    """The paragraphs of a multi-line value, each on one line."""
    return [" ".join(p.split()) for p in re.split(r"\n\s*\n", text.strip()) if p.strip()]


def width(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


# Characters a Japanese line must not begin with.
NO_LINE_START = set("、。，．）」』】・ー～？！：；,.)")


def wrap(text, limit):
    """Lines of at most `limit` display columns: breaks at blanks, and
    between two Japanese characters where a line may begin."""
    lines, line = [], ""
    tokens = re.findall(r"[ -~]+|.", text)  # runs of ASCII, single others
    pieces = []
    for tok in tokens:
        if tok.isascii():
            pieces.extend(re.findall(r"\S+|\s+", tok))
        else:
            pieces.append(tok)
    for piece in pieces:
        if piece.isspace():
            if line:
                line += " "
            continue
        if width(line) + width(piece) <= limit:
            line += piece
            continue
        # Japanese punctuation stays with the word before it.
        if piece[0] in NO_LINE_START and line:
            line += piece
            continue
        if line.strip():
            lines.append(line.rstrip())
        line = piece
    if line.strip():
        lines.append(line.rstrip())
    return lines


def usage_lines(text):
    """The usage value: its first line has a prefix ("Usage: "), the others
    are aligned under the command."""
    rows = [r.strip() for r in text.strip().splitlines() if r.strip()]
    prefix = rows[0][: rows[0].index("quorvex-convert")]
    pad = " " * width(prefix)
    return [rows[0]] + [pad + r for r in rows[1:]]


def help_text(options, texts, lang):
    out = usage_lines(texts["usage"][lang]) + [""]
    for p in paragraphs(texts["intro"][lang]):
        out += wrap(p, HELP_WIDTH) + [""]
    out.append("Options:" if lang == "en" else "オプション:")
    for o in options:
        label = "  " + o.label()
        body = wrap(getattr(o, lang), HELP_WIDTH - HELP_INDENT)
        if len(label) + 2 <= HELP_INDENT:
            out.append(label.ljust(HELP_INDENT) + body[0])
            body = body[1:]
        else:
            out.append(label)
        out += [" " * HELP_INDENT + b for b in body]
    for p in paragraphs(texts["notes"][lang]):
        out += [""] + wrap(p, HELP_WIDTH)
    return "\n".join(out) + "\n"


def c_string(text):
    out = []
    for line in text.splitlines(keepends=True):
        esc = line.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
        out.append(f'    "{esc}"')
    return "\n".join(out)


def options_header(options, texts):
    ids = ",\n".join(f"    {o.ident}" for o in options)
    rows = []
    for o in options:
        short = f"'{o.short}'" if o.short else "0"
        arg = f'"{o.argument}"' if o.argument else "nullptr"
        rows.append(f'    {{TOpt::{o.ident}, "{o.long}", {short}, {arg}, '
                    f'{"true" if o.job else "false"}}},')
    return f"""// Written by scripts/gen_cli_options.py from src/cli/options.txt.
#pragma once

namespace quorvex::cli {{

enum class TOpt {{
{ids}
}};

struct TOptionSpec {{
    TOpt Id;
    const char* Long;      // "--attr"
    char Short;            // 0: none
    const char* Argument;  // the value's name; null: takes none
    bool Job;              // a setting of a job, which a batch list carries
}};

inline constexpr TOptionSpec kOptionTable[] = {{
{chr(10).join(rows)}
}};

inline constexpr const char* kHelpEnglish =
{c_string(help_text(options, texts, "en"))};

inline constexpr const char* kHelpJapanese =
{c_string(help_text(options, texts, "ja"))};

}}  // namespace quorvex::cli
"""


def roff_escape(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return text


def roff_lines(text, lang):
    """Source lines of a paragraph: a sentence a line in English; in
    Japanese short lines, since troff breaks only where the source does."""
    text = roff_escape(text)
    if lang == "en":
        lines = re.split(r"(?<=[.:;]) (?=[A-Z(])", text)
    else:
        lines = []
        for sentence in re.split(r"(?<=。)", text):
            if not sentence.strip():
                continue
            lines += wrap_ja_source(sentence.strip())
    # A line beginning with a dot or quote would be a request.
    return ["\\&" + l if l[:1] in ".'" else l for l in lines]


def wrap_ja_source(sentence):
    """Breaks after 、 or at blanks so no line is wider than MAN_JA_WIDTH."""
    parts = []
    for part in re.findall(r"[^、 ]*(?:、| |$)", sentence):
        parts += split_long_part(part)
    lines, line = [], ""
    for part in parts:
        if not part:
            continue
        if line and width(line + part) > MAN_JA_WIDTH:
            lines.append(line.rstrip())
            line = ""
        line += part
    if line.strip():
        lines.append(line.rstrip())
    return lines


def is_hiragana(c):
    return "\u3041" <= c <= "\u309f"


def split_long_part(part):
    """A phrase too wide for one line, broken where a word ends in kana and
    the next begins otherwise (after a particle)."""
    pieces = []
    while width(part) > MAN_JA_WIDTH:
        cut = 0
        for i in range(1, len(part)):
            if width(part[:i]) > MAN_JA_WIDTH:
                break
            if is_hiragana(part[i - 1]) and not is_hiragana(part[i]) and part[i] not in NO_LINE_START:
                cut = i
        if cut == 0:
            break
        pieces.append(part[:cut])
        part = part[cut:]
    return pieces + [part]


def man_label(o):
    names = []
    if o.short:
        names.append(f"\\fB\\-{o.short}\\fR")
    names.append("\\fB" + roff_escape(o.long) + "\\fR")
    label = ", ".join(names)
    if o.argument:
        arg = "\\fR|\\fI".join(o.argument.split("|"))
        label += f" \\fI{arg}\\fR"
    return label


def man_options(options, lang):
    out = []
    for o in options:
        out += [".TP", man_label(o)] + roff_lines(getattr(o, lang), lang)
    return "\n".join(out)


def completion(options):
    words = " ".join(
        w for o in options for w in ([f"-{o.short}"] if o.short else []) + [o.long])
    free = [o.long for o in options if o.argument and o.complete == "none"]
    cases = []
    if free:
        cases.append(f"        {' | '.join(free)})\n"
                     "            return  # a value the user types\n"
                     "            ;;")
    for o in options:
        if o.argument and o.complete != "none":
            exts = "|".join(e for x in o.complete.split() for e in (x, x.upper()))
            cases.append(
                f"        {o.long})\n"
                f"            COMPREPLY=($(compgen -f -X '!*.@({exts})' -- \"$cur\") "
                f"$(compgen -d -- \"$cur\"))\n"
                "            compopt -o filenames 2>/dev/null\n"
                "            return\n"
                "            ;;")
    return f"""# bash completion for quorvex-convert; written by scripts/gen_cli_options.py
# from the program's option table.
_quorvex_convert() {{
    local cur prev
    cur=${{COMP_WORDS[COMP_CWORD]}}
    prev=${{COMP_WORDS[COMP_CWORD - 1]}}
    case $prev in
{chr(10).join(cases)}
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '{words}' -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -f -X '!*.@(mif|MIF|sim|SIM)' -- "$cur") $(compgen -d -- "$cur"))
    compopt -o filenames 2>/dev/null
}}
complete -F _quorvex_convert quorvex-convert
"""


def help_page(options, texts):
    e = html.escape
    rows = []
    for o in options:
        names = ([f"<code>-{o.short}</code>"] if o.short else []) + [f"<code>{o.long}</code>"]
        label = ", ".join(names) + (f" <var>{e(o.argument)}</var>" if o.argument else "")
        rows.append(f"<tr><td>{label}</td><td>{e(o.ja)}</td></tr>")
    usage = "\n".join(e(l) for l in usage_lines(texts["usage"]["ja"]))
    notes = "\n".join(f"<p>{e(p)}</p>" for p in paragraphs(texts["notes"]["ja"]))
    intro = "\n".join(f"<p>{e(p)}</p>" for p in paragraphs(texts["intro"]["ja"]))
    return f"""<h2><a name="command-line"></a>コマンドライン</h2>
<p>ウィンドウの変換は、ウィンドウを開かずにコマンドラインのプログラム <code>quorvex-convert</code> でも実行できます（Windows では <code>quorvex-convert.exe</code>）。</p>
{intro}
<pre>{usage}</pre>
<table>
<tr><th>オプション</th><th>働き</th></tr>
{chr(10).join(rows)}
</table>
{notes}"""


def write_if_changed(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = text.encode("utf-8")
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def main():
    ap = argparse.ArgumentParser()
    for name in ("table", "version", "man-template-en", "man-template-ja", "help-source", "out"):
        ap.add_argument("--" + name, required=True)
    args = ap.parse_args()
    options, texts = read_table(args.table)
    out = args.out

    write_if_changed(os.path.join(out, "options_table.h"), options_header(options, texts))
    for lang, template, target in (("en", args.man_template_en, "man/quorvex-convert.1"),
                                   ("ja", args.man_template_ja, "man/ja/quorvex-convert.1")):
        page = read(template).replace("@PROJECT_VERSION@", args.version)
        if "@OPTIONS@\n" not in page:
            raise SystemExit(f"{template} has no @OPTIONS@ line")
        page = page.replace("@OPTIONS@", man_options(options, lang))
        write_if_changed(os.path.join(out, target), page)
    write_if_changed(os.path.join(out, "quorvex-convert.bash"), completion(options))

    doc = read(os.path.join(args.help_source, "quorvex.html"))
    marker = "<!-- @COMMAND_LINE@ -->"
    if doc.count(marker) != 1:
        raise SystemExit(f"quorvex.html needs one {marker}")
    write_if_changed(os.path.join(out, "help", "quorvex.html"),
                     doc.replace(marker, help_page(options, texts)))
    write_if_changed(os.path.join(out, "help", "quorvex-index.txt"),
                     read(os.path.join(args.help_source, "quorvex-index.txt")))


if __name__ == "__main__":
    main()
