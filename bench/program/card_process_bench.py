#!/usr/bin/env python3
"""Whole-process benchmark of the card program, in one interleaved batch.

  card         the headless program makes a card against the bundled profile service: it
               starts, types an ID, presses 生成, saves the card beside itself and quits
  open-quit    the headless program starts and quits
  imagemagick  ImageMagick's convert composes the same card from the same background and
               portrait: tiles the background, fills the frame, places the portrait at
               134 × 134, writes the two lines in a CJK face and writes a 24-bit BMP

Each round runs every variant once, in an order that rotates from round to round, so that a
change in the machine's load falls on all of them alike. Prints the median wall time (process
start to exit) and the median peak resident size of each variant, the ratio of the card to
ImageMagick, and whether the targets hold; exits 1 when one does not. With --baseline, another
build of the program runs the card and open-quit in the same batch (before and after figures).
Exits 77 (skipped) when ImageMagick's convert is not installed.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

MEMBER = "benchmember"
PORTRAIT = "demo.bench.card"
AGE = "3"
CARD_SCRIPT = "focus 编辑框1\ntype " + MEMBER + "\nclick 按钮1\nquit\n"
QUIT_SCRIPT = "quit\n"
SKIPPED = 77

CARD_RATIO_TARGET = 0.8
CARD_RSS_TARGET_MIB = 28.0
OPEN_QUIT_TARGET_MS = 40.0


def find_convert():
    # The Debian package's own name first: a `convert` earlier on the path may be something else.
    for name in ("convert-im6.q16", "magick", "convert"):
        found = shutil.which(name)
        if found:
            return found
    return None


def font_file(family):
    return subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True, text=True, check=True).stdout


def run_measured(argv, env):
    """Runs argv to its end, its output discarded; (wall milliseconds, peak RSS in MiB, exit status)."""
    quiet = [(os.POSIX_SPAWN_OPEN, fd, os.devnull, os.O_WRONLY, 0) for fd in (1, 2)]
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, env, file_actions=quiet)
    _, status, usage = os.wait4(pid, 0)
    elapsed = (time.perf_counter_ns() - start) / 1e6
    return elapsed, usage.ru_maxrss / 1024.0, os.waitstatus_to_exitcode(status)


class ProfileService:
    def __init__(self, program, folder):
        members = os.path.join(folder, "members.txt")
        with open(members, "w", encoding="utf-8") as out:
            out.write(f"{MEMBER}\t{PORTRAIT}\t{AGE}\n")
        self.process = subprocess.Popen([program, "--port", "0", "--members", members],
                                        stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if "listening on " not in line:
            self.process.kill()
            raise RuntimeError("the profile service did not start: " + line)
        self.host = "127.0.0.1:" + line.rsplit(":", 1)[1].strip()

    def portrait(self):
        with urllib.request.urlopen(f"http://{self.host}/sys/portraitl/item/{PORTRAIT}", timeout=10) as reply:
            return reply.read()

    def stop(self):
        self.process.kill()
        self.process.wait()


class CardProgram:
    """A copy of the program in a folder of its own, saving cards beside itself."""

    def __init__(self, executable, folder, service_host):
        os.makedirs(folder)
        self.folder = folder
        self.program = os.path.join(folder, "quorlin")
        shutil.copy2(executable, self.program)
        self.card = os.path.join(folder, MEMBER + ".jpg")
        self.scripts = {}
        for name, text in (("card", CARD_SCRIPT), ("open-quit", QUIT_SCRIPT)):
            path = os.path.join(folder, name + ".txt")
            with open(path, "w", encoding="utf-8") as out:
                out.write(text)
            self.scripts[name] = path
        self.env = dict(os.environ, QUORLIN_DISPLAY="headless", QUORLIN_PROFILE_HOST=service_host,
                        QUORLIN_PORTRAIT_HOST=service_host)

    def run(self, what):
        with open(os.path.join(self.folder, "quorlin.ini"), "wb") as out:
            out.write(b"[sz]\r\nsave=1\r\n")  # save mode 1: beside the program
        if os.path.exists(self.card):
            os.remove(self.card)
        env = dict(self.env, QUORLIN_SCENARIO=self.scripts[what])
        result = run_measured([self.program], env)
        if result[2] != 0:
            raise RuntimeError(f"{self.program} ({what}) ended with status {result[2]}")
        if what == "card" and not is_card(self.card):
            raise RuntimeError(f"{self.program} saved no 580 × 385 card")
        return result


def is_card(path):
    try:
        with open(path, "rb") as f:
            head = f.read(30)
    except OSError:
        return False
    return (len(head) == 30 and head[:2] == b"BM" and int.from_bytes(head[18:22], "little") == 580
            and abs(int.from_bytes(head[22:26], "little", signed=True)) == 385 and head[28] == 24)


def imagemagick_command(convert, background, portrait, output):
    sans = font_file("Noto Sans CJK SC")
    serif = font_file("Noto Serif CJK SC")
    age = "吧龄: " + AGE + "年"
    # The card's layout: the frame 140 × 140 at (230, 100), the portrait inside it, the lines
    # centred on x = 290 with their tops at y 265 and 310 (baselines about an ascent lower).
    return [convert, "-size", "580x385", "tile:" + background,
            "-fill", "#FFFFFF", "-draw", "rectangle 230,100 369,239",
            "(", portrait, "-resize", "134x134!", ")", "-geometry", "+233+103", "-composite",
            "-fill", "#FFFFFF", "-font", sans, "-pointsize", "16",
            "-annotate", f"+{int(290 - len(MEMBER) / 2 * 9.5)}+286", MEMBER,
            "-font", serif, "-pointsize", "14",
            "-annotate", f"+{int(290 - len(age.encode('gbk')) / 2 * 10)}+329", age,
            "-type", "TrueColor", "BMP3:" + output]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="the quorlin executable")
    parser.add_argument("--service", required=True, help="the quorlin-profile-service executable")
    parser.add_argument("--background-generator", required=True, help="quorlin_background_generator")
    parser.add_argument("--baseline", help="another quorlin executable to run in the same batch")
    parser.add_argument("--rounds", type=int, default=21)
    args = parser.parse_args()

    convert = find_convert()
    if not convert:
        print("skipped: ImageMagick's convert is not installed (Debian package imagemagick)")
        return SKIPPED

    with tempfile.TemporaryDirectory(prefix="quorlin-card-bench-") as folder:
        service = ProfileService(args.service, folder)
        try:
            background = os.path.join(folder, "background.jpg")
            subprocess.run([args.background_generator, "--jpeg", background], check=True)
            portrait = os.path.join(folder, "portrait.png")
            with open(portrait, "wb") as out:
                out.write(service.portrait())
            magick_output = os.path.join(folder, "magick-card.bmp")
            magick = imagemagick_command(convert, background, portrait, magick_output)

            programs = {"": CardProgram(args.program, os.path.join(folder, "program"), service.host)}
            if args.baseline:
                programs["baseline "] = CardProgram(args.baseline, os.path.join(folder, "baseline"), service.host)

            def run_magick():
                result = run_measured(magick, dict(os.environ))
                if result[2] != 0 or not is_card(magick_output):
                    raise RuntimeError("ImageMagick made no card: " + " ".join(magick))
                return result

            variants = {"imagemagick": run_magick}
            for label, program in programs.items():
                for what in ("card", "open-quit"):
                    variants[label + what] = (lambda p, w: lambda: p.run(w))(program, what)
            names = list(variants)
            for name in names:  # warm the caches once
                variants[name]()
            samples = {name: [] for name in names}
            for round_ in range(args.rounds):
                shift = round_ % len(names)
                for name in names[shift:] + names[:shift]:
                    samples[name].append(variants[name]())
        finally:
            service.stop()

    medians = {}
    print(f"{args.rounds} interleaved rounds; medians (wall time from process start to exit, peak RSS)")
    for name in names:
        ms = statistics.median(s[0] for s in samples[name])
        mib = statistics.median(s[1] for s in samples[name])
        medians[name] = (ms, mib)
        print(f"  {name:22} {ms:8.1f} ms {mib:8.1f} MiB")
    failed = []
    for label in programs:
        card_ms, card_mib = medians[label + "card"]
        ratio = card_ms / medians["imagemagick"][0]
        print(f"{label}card / imagemagick: {ratio:.2f}")
        if label:
            continue
        if ratio > CARD_RATIO_TARGET:
            failed.append(f"card takes {ratio:.2f} × ImageMagick's time (target ≤ {CARD_RATIO_TARGET})")
        if card_mib > CARD_RSS_TARGET_MIB:
            failed.append(f"card peak RSS {card_mib:.1f} MiB (target ≤ {CARD_RSS_TARGET_MIB})")
        if medians["open-quit"][0] > OPEN_QUIT_TARGET_MS:
            failed.append(f"open-and-quit {medians['open-quit'][0]:.1f} ms (target ≤ {OPEN_QUIT_TARGET_MS})")
    for reason in failed:
        print("target missed: " + reason)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
