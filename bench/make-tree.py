#!/usr/bin/env python3
"""Builds the synthetic tree that bench/index measures: FOLDERS folders and FILES empty files
under ROOT, a third of the names Chinese, every file's extension drawn from the type table.
The same seed always gives the same tree.

With TEXT_BYTES (bench/query), the files of the text class get contents instead: text of about
TEXT_BYTES bytes each (half to one and a half times that), Chinese and English words, half of
the files in GBK and half in UTF-8. The ASCII word MARKER stands in one GBK file of fifty, the
Chinese word CHINESE_MARKER in one UTF-8 file of fifty. Names and layout stay those of the tree
without contents.

usage: make-tree.py ROOT FILES FOLDERS TYPE_TABLE [TEXT_BYTES]"""
import os
import random
import sys

CHINESE = ("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也"
           "能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实"
           "加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样"
           "与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情"
           "者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级"
           "少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色"
           "光门即保治北造百规热领七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再"
           "采转更单风切打白教速花带安场身车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马"
           "节话米整空元况今集温传土许步群广石记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须"
           "际商非验连断深难近矿千周委素技备半办青省列习响约支般史感劳便团往酸历市克何除消构府称太准"
           "精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养易置派层片始却专状育厂京识适属圆包火"
           "住调满县局照参红细引听该铁价严文档照片音乐视频报告合同发票简历笔记资料备份项目设计方案")
WORDS = ["report", "photo", "music", "backup", "draft", "final", "notes", "data", "image",
         "video", "invoice", "project", "design", "summary", "letter", "budget", "paper",
         "slides", "track", "album", "setup", "readme", "config", "log", "test", "demo"]


def extensions(type_table):
    exts = []
    with open(type_table, "rb") as f:
        for line in f.read().decode("gbk").splitlines():
            if line and not line.startswith("#"):
                exts.append(line.split("\t")[0])
    return exts


MARKER = "milestone"
CHINESE_MARKER = "里程碑"  # 碑 is not among the corpus characters: no accidental hits


def text_extensions(type_table):
    exts = set()
    with open(type_table, "rb") as f:
        for line in f.read().decode("gbk").splitlines():
            fields = line.split("\t")
            if line and not line.startswith("#") and len(fields) > 2 and fields[2] == "1":
                exts.add(fields[0])
    return exts


def corpus(rng, size):
    """size bytes of GBK text: lines of English and Chinese words."""
    words = WORDS + ["the", "and", "of", "to", "in", "for", "with", "on", "by", "from"]
    parts, length = [], 0
    while length < size:
        if rng.random() < 0.5:
            line = " ".join(rng.choice(words) for _ in range(rng.randint(4, 12)))
        else:
            line = "".join(rng.choice(CHINESE) for _ in range(rng.randint(8, 30))) + "。"
        data = (line + "\n").encode("gbk")
        parts.append(data)
        length += len(data)
    return b"".join(parts)


class Contents:
    """Contents of the text files, drawn from one corpus by a generator of their own, so that
    the names and the layout do not depend on them."""

    def __init__(self, text_bytes):
        self.rng = random.Random(20070409)
        self.text_bytes = text_bytes
        self.corpus = corpus(self.rng, max(4 << 20, 4 * text_bytes))

    def next(self):
        size = self.rng.randint(self.text_bytes // 2, self.text_bytes * 3 // 2)
        start = self.rng.randrange(len(self.corpus) - size)
        data = self.corpus[start:start + size]
        utf8 = self.rng.random() < 1 / 2
        marker = (" %s " % (CHINESE_MARKER if utf8 else MARKER)).encode("utf-8" if utf8 else "gbk")
        if utf8:
            data = data.decode("gbk", errors="ignore").encode("utf-8")
        if self.rng.random() < 1 / 50:
            at = self.rng.randrange(len(data) + 1)
            if utf8:  # on a character boundary
                while at < len(data) and (data[at] & 0xC0) == 0x80:
                    at += 1
            data = data[:at] + marker + data[at:]
        return data


def name(rng, chinese):
    if chinese:
        return "".join(rng.choice(CHINESE) for _ in range(rng.randint(2, 6)))
    parts = [rng.choice(WORDS) for _ in range(rng.randint(1, 3))]
    text = rng.choice(["_", "-", " ", ""]).join(parts)
    if rng.random() < 0.5:
        text += str(rng.randint(1, 9999))
    return text.title() if rng.random() < 0.3 else text


def main():
    root, files, folders, type_table = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    text_bytes = int(sys.argv[5]) if len(sys.argv) > 5 else 0
    contents = Contents(text_bytes) if text_bytes > 0 else None
    texts = text_extensions(type_table)
    rng = random.Random(20070408)
    exts = extensions(type_table)
    paths = [root]
    os.makedirs(root)
    for i in range(1, folders):
        parent = paths[rng.randrange(len(paths))]
        path = os.path.join(parent, "%s %d" % (name(rng, rng.random() < 1 / 3), i))
        os.mkdir(path)
        paths.append(path)
    for i in range(files):
        folder = paths[rng.randrange(len(paths))]
        stem = name(rng, rng.random() < 1 / 3)
        ext = rng.choice(exts)  # drawn after the name, as always
        base = "%s_%d.%s" % (stem, i, ext)
        fd = os.open(os.path.join(folder, base), os.O_CREAT | os.O_WRONLY, 0o644)
        if contents and ext in texts:
            os.write(fd, contents.next())
        os.close(fd)


if __name__ == "__main__":
    main()
