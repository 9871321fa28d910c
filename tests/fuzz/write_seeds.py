#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/<target>/.

Each seed is a case the rules single out; the file name says which.
Run it again after changing a seed here; the corpus files are committed.
"""
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent
EXTRA_END_TESTS = 0x01  # line reader mode: an end test before every read
# Block end fillers: one long line of x, 32-byte indented CR LF lines, 7-byte
# lines indented twice and ended by a lone CR.
FILLER_X, FILLER_INDENT, FILLER_CR = 0, 1, 2
LOCAL = 0x80  # block end mode: the local search instead of the global one
# Block end target list: a 1 MiB second target (two threads), a missing target.
SECOND, MISSING = 0x01, 0x02


def sj(text):
    return text.encode("cp932")


IDEO = sj("\u3000")  # the ideographic space, 81 40
MINATO, MACHI = sj("港"), sj("町")


def reader(mode, payload):
    """Line reader input: mode byte, file bytes."""
    return bytes([mode]) + payload


def block_end(filler, text, tail, inside=1, mode=0, targets=0, missing_at=0):
    """Block end input: mode (filler, tail bytes inside the first block), target
    list, search text, tail."""
    header = [mode | filler | (inside - 1) << 2, targets | missing_at << 2, len(text)]
    return bytes(header) + text + tail


def pair(search, prev, cur):
    """Substring and pair test input: lengths of search and prev, then the three parts."""
    return bytes([len(search), len(prev)]) + search + prev + cur


def search(text, *files, mode=0):
    """Search input: mode (file count - 1 in its low bits), lengths, search text, files."""
    mode = mode | (len(files) - 1)
    return bytes([mode, len(text)]) + bytes(len(f) for f in files[:-1]) + text + b"".join(files)


SEEDS = {
    "line_reader": {
        "empty_file": reader(0, b""),
        "crlf_two_lines": reader(0, b"a\r\nb\r\n"),
        "no_final_line_end": reader(0, b"a\r\nb"),
        "lf_only_is_data": reader(0, b"a\nb\n"),
        "cr_cr_lf": reader(0, b"a\r\r\nb"),
        "lf_then_cr": reader(0, b"a\n\rb"),
        "lone_cr": reader(0, b"a\rb"),
        "ctrlz_ends_text": reader(0, b"ab\x1ac\r\nd"),
        "starts_with_ctrlz": reader(0, b"\x1a"),
        "final_eof_byte": reader(EXTRA_END_TESTS, b"a\r\n\x1a"),
        "nul_in_line": reader(0, b"a\x00b\r\n\x00"),
        "lead_byte_before_cr": reader(EXTRA_END_TESTS, b"\x82\r\n" + IDEO * 2 + b"x\r"),
    },
    "hit_rule": {
        "runs_on_into_next_line": pair(b"ab", b"xxa", b"byy"),
        "starts_in_next_line": pair(b"ab", b"xx", b"aby"),
        "trail_byte_start_does_not_count": pair(sj("あ"), b"\x81" + sj("あ"), b""),
        "backslash_as_trail_byte": pair(b"\\", sj("表"), b"\\"),
        "nul_in_prev_cuts_join": pair(b"b", b"a\x00b", b"b"),
        "nul_in_search_text": pair(b"a\x00x", b"za", b"y"),
        "lone_lead_at_prev_end": pair(b"\x82\xa0", b"x\x82", b"\xa0"),
        "trail_lead_at_prev_end": pair(b"\x82\xa0", b"\x82\x82", b"\xa0"),
        "lead_byte_as_trail_byte": pair(b"\x81\x81", b"\x81\x81\x81", b"\x81"),
        "indent_to_strip": pair(MINATO + MACHI, b"x" + MINATO, IDEO * 2 + MACHI + b"\x81"),
        "empty_search_text": pair(b"", b"abc", b"abc"),
        "search_longer_than_pair": pair(b"abcdef", b"ab", b"cd"),
    },
    "search": {
        "phrase_runs_on": search(MINATO + MACHI, sj("古い港\r\n町並み\r\n"), b"x" + MINATO + b"\r\n" + IDEO + MACHI),
        "indent_only_dropped_after_line_one": search(b"ab", IDEO + b"ab\r\n" + IDEO + b"ab\r\na" + b"\r\n" + IDEO + b"b"),
        "one_line_file": search(b"ab", b"xaby"),
        "last_line_hit": search(b"z", b"a\r\nb\r\nz"),
        "empty_and_ctrlz_files": search(b"a", b"", b"\x1a", b"b\x1aa"),
        "lf_only_file_is_one_line": search(b"b", b"a\nb\nc\n"),
        "more_hits_than_table_slots": search(b"a", b"a\r\n" * 300),
        "trail_byte_and_nul": search(b"\\", sj("表\r\n表") + b"\\\r\n\x00\\"),
        "empty_search_text": search(b"", b"a\r\nb"),
        "list_ends_at_empty_entry": search(b"a", b"a", b"ba", mode=4 | 1 << 5),
        "more_than_twenty_targets": search(b"a", b"a\r\n", b"\r\na", b"xa", mode=8),
    },
    "block_end": {
        "cr_last_lf_first": block_end(FILLER_X, b"ab", b"\r\nab"),
        "file_ends_at_block_end_with_cr": block_end(FILLER_X, b"xx", b"\r"),
        "ctrlz_first_in_next_block": block_end(FILLER_X, b"ab", b"a\x1ab"),
        "match_across_block_end": block_end(FILLER_X, b"ab", b"xab\r\n", inside=2),
        "pair_across_block_end": block_end(FILLER_X, b"ab", b"xa\r\nb", inside=3),
        "nul_after_block_end": block_end(FILLER_X, b"xa", b"a\x00b\r\nab", inside=2),
        # The 81 of an ideographic space ends the block, its 40 starts the next.
        "indent_split_across_block_end": block_end(FILLER_INDENT, b"xx" + MACHI, b"\r\n\x81\x40" + MACHI + b"\r\n", inside=3),
        "indent_split_local": block_end(FILLER_INDENT, b"xx" + MACHI, b"\r\n\x81\x40" + MACHI + b"\r\n", inside=3, mode=LOCAL),
        "lone_crs_then_crlf_across": block_end(FILLER_CR, b"ab", b"\r\n" + IDEO + b"ab\r\n"),
        "two_threads": block_end(FILLER_INDENT, b"xx", b"\r\nxx\r\n", targets=SECOND),
        "missing_first_target": block_end(FILLER_X, b"ab", b"xa\r\nb", targets=MISSING),
        "missing_target_between_two_threads": block_end(FILLER_CR, b"ab", b"\r\nab\r\nab", targets=SECOND | MISSING, missing_at=1),
        "missing_last_target_two_threads": block_end(FILLER_X, b"xa", b"a\r\nb", targets=SECOND | MISSING, missing_at=2),
    },
    "code_page": {
        "ascii_and_controls": bytes(range(0x00, 0x80)),
        "half_width_kana": bytes(range(0xa1, 0xe0)),
        "microsoft_single_bytes": b"\x80\xa0\xfd\xfe\xff",
        "nec_ibm_duplicates": b"\xed\x40\xfa\x5c\x87\x54\xfa\x4a\x87\x90\x81\xe0\xee\xf9\xfa\x54\x81\xca\xee\xef\xfa\x40",
        "lone_lead_bytes": b"a\x82\x7f\x82\xfd\x82\r\n\x82",
        "unassigned_and_user_pairs": b"\x85\x40\xef\xfc\xf0\x40\xf9\xfc\x81\xad",
        "lead_byte_as_trail": b"\x81\x81\x9f\xfc\xe0\x40",
        "prose": sj("　春のはじめに、私は古い港町を訪ねた。\r\n表示"),
        "utf8_prose": "港町\\～".encode("utf-8"),
        "utf8_reserved_forms": "\U000F0082a\U00108540\U000F0082".encode("utf-8"),
        "utf8_malformed": b"\xc0\xaf\xed\xa0\x80\xe3\x81\xf4\x90\x80\x80",
        "utf8_outside_code_page": "€😀x".encode("utf-8"),
        "utf8_jis_forms": "港〜町−‖—¢£¬".encode("utf-8"),
    },
}


def main():
    for target, seeds in SEEDS.items():
        folder = HERE / "corpus" / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
