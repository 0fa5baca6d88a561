#!/usr/bin/env python3
"""Drives the program in a real window on a virtual X display, the way a person does with a mouse.

The program runs full screen; its 1024 x 768 canvas is scaled to the display as a whole
(scale = min(W / 1024, H / 768), centred), so every click goes to the scaled position of a control
given in canvas units. Which screen shows is read from the accessibility tree (AT-SPI over a private
D-Bus session): each screen is known by the controls it shows. The run fails when the wanted screen
does not show in time, when a control is not where the canvas position says, or when the program dies.

Usage: drive.py PROGRAM APPLICATION_FOLDER OUTPUT_FOLDER
Environment: SMOKE_DISPLAY (a display number; else the X server picks a free one),
SMOKE_ROUNDS (how many times the whole tour is made, 2 by default), SMOKE_PROFILE (prints how long
each reading of the accessibility tree takes).
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

WIDTH, HEIGHT = 1920, 1080
SCALE = min(WIDTH / 1024, HEIGHT / 768)
LEFT, TOP = (WIDTH - 1024 * SCALE) / 2, (HEIGHT - 768 * SCALE) / 2
SCREEN_WAIT = 15.0  # seconds a screen may take to show

# Canvas positions (the centre of each control), from the forms' geometry: a control's own rectangle
# plus the origin of the card or panel it sits in.
NAME_TEACHER_ROW = (200, 203)  # name list (card 32,128; list 12,12; rows of 25): "★山本先生", the third row
NAME_STUDENT_ROW = (200, 228)  # the fourth row, a student: "坂本健太"
NAME_OK = (802, 478)  # card 612,128; O.K. 20,312,340,76
HUB_BACK = (964, 55)  # header card 8,8; 戻る(0) 914,10,84,74
HUB_PRINT = (874, 35)  # header; 印刷 824,10,84,34
HUB_DATA = (874, 75)  # header; データ処理 824,50,84,34
HUB_PERSONAL_TIMES = (318, 131)  # view card 8,110; 個人ﾀｲﾑ 252,6,116,30
HUB_GRAPH = (682, 164)  # view card; グラフ 624,40,100,28
HUB_START_PRACTICE = (134, 263)  # columns 8,190; level 1 card 3,0; ｽﾀｰﾄ(1)
HUB_START_TEST = (386, 263)  # level 2 card, ｽﾀｰﾄ(2)
PERSONAL_BACK = (228, 682)  # panel 8,190; 戻る 152,472,136,40
DRILL_BACK = (140, 680)  # 戻る 40,640,200,80
RESULT_MENU = (340, 610)  # メニューへ 200,560,280,100
WORKSHEET_TO_PRINT = (138, 672)  # choices card 24,24; 印刷へ 24,600,180,96
WORKSHEET_BACK = (330, 672)  # choices card; もどる 216,600,180,96
PRINT_LAYOUT_BACK = (792, 692)  # 戻る 600,660,384,64 beside a portrait page (the demo's worksheets)
PASSWORD_RECORDS = (416, 372)  # password panel; データ変更
PASSWORD_STANDARDS = (608, 372)  # password panel; 合格タイムデータ変更
PASSWORD_CANCEL = (638, 436)  # password panel; 戻る
TOOL_BACK = (958, 36)  # 戻る 900,14,116,44 in both teacher tools

# Each screen by the controls (role, name) it shows, and those that must not show with it.
SCREENS = {
    "name": ({("push button", "O.K."), ("list", "名前")}, set()),
    "hub": ({("push button", "ｽﾀｰﾄ(1)"), ("push button", "ｽﾀｰﾄ(2)"), ("radio button", "個人ﾀｲﾑ")},
            {("push button", "他の人のデータを見る"), ("password text", "データ変更パスワード")}),
    "personal": ({("push button", "他の人のデータを見る"), ("push button", "表示"), ("filler", "個人データのグラフ")},
                 set()),
    "password": ({("password text", "データ変更パスワード"), ("push button", "合格タイムデータ変更")}, set()),
    "practice": ({("label", "範囲１練"), ("push button", "答えを見る"), ("push button", "戻る")}, set()),
    "test": ({("label", "範囲１"), ("label", "タイム")}, set()),
    "result": ({("push button", "メニューへ"), ("push button", "もう一度")}, set()),
    # The print layout screen opens over the worksheet screen, which stays beneath it.
    "worksheet": ({("push button", "印刷へ"), ("push button", "再並べ替え")},
                  {("push button", "PDFに保存"), ("radio button", "問題用紙")}),
    "printlayout": ({("push button", "PDFに保存"), ("radio button", "問題用紙"), ("push button", "戻る")}, set()),
    "records": ({("push button", "CSV出力"), ("push button", "戻る")}, {("push button", "更新記録")}),
    "standards": ({("push button", "更新記録"), ("push button", "元に戻す"), ("push button", "戻る")},
                  {("push button", "CSV出力")}),
}


class Failure(Exception):
    pass


class Session:
    def __init__(self, program, app_folder, out):
        self.program, self.app_folder, self.out = program, app_folder, out
        self.procs = []
        self.env = dict(os.environ)
        self.step = 0

    # ---- the display, the buses and the program ----
    def start(self):
        runtime = tempfile.mkdtemp(prefix="runtime-", dir=self.out)
        os.chmod(runtime, 0o700)
        read_fd, write_fd = os.pipe()
        wanted = os.environ.get("SMOKE_DISPLAY")
        # The server writes its display number to the pipe once it takes connections; -noreset keeps it
        # from resetting (and refusing connections a moment) when the check below disconnects.
        args = ["Xvfb", *([f":{wanted}"] if wanted else []), "-displayfd", str(write_fd),
                "-screen", "0", f"{WIDTH}x{HEIGHT}x24", "-nolisten", "tcp", "-noreset"]
        log = open(os.path.join(self.out, "xvfb.log"), "w")
        self.procs.append(subprocess.Popen(args, stdout=log, stderr=log, pass_fds=(write_fd,)))
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise Failure("Xvfb did not start (see xvfb.log)")
        # It may say so a moment before a client gets in.
        deadline = time.time() + 10
        while subprocess.run(["xdotool", "getdisplaygeometry"], env={**os.environ, "DISPLAY": f":{number}"},
                             capture_output=True).returncode != 0:
            if time.time() > deadline:
                raise Failure(f"Xvfb :{number} takes no connections (see xvfb.log)")
            time.sleep(0.1)
        self.env.update(DISPLAY=f":{number}", XDG_RUNTIME_DIR=runtime, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        QT_ACCESSIBILITY="1", NO_AT_BRIDGE="0", LANG="C.UTF-8")
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        # A private session bus; the accessibility bus is started through it in the private runtime folder.
        bus_log = open(os.path.join(self.out, "dbus.log"), "w")
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=bus_log, env=self.env, text=True)
        self.procs.append(bus)
        address = bus.stdout.readline().strip()
        if not address:
            raise Failure("the D-Bus session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS")})
        # Nothing reached pyatspi's bus connection before this point (it connects on first use).
        self.log = open(os.path.join(self.out, "program.log"), "w")
        self.program_proc = subprocess.Popen([self.program], cwd=self.app_folder, env=self.env,
                                             stdout=self.log, stderr=self.log)
        self.procs.append(self.program_proc)
        print(f"display :{number}, program pid {self.program_proc.pid}", flush=True)

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def check_alive(self, doing):
        code = self.program_proc.poll()
        if code is not None:
            how = f"signal {signal.Signals(-code).name}" if code < 0 else f"exit status {code}"
            self.shot("died")
            raise Failure(f"the program died ({how}) {doing}")

    # ---- input ----
    @staticmethod
    def at(point):
        return str(round(LEFT + point[0] * SCALE)), str(round(TOP + point[1] * SCALE))

    def click(self, point, name):
        """Clicks the control named `name` at its canvas position, after checking that the accessibility
        tree places that control there (its top left is mapped to the display; its size is in canvas units)."""
        x, y = (float(v) for v in self.at(point))
        deadline = time.time() + SCREEN_WAIT
        while True:
            self.check_alive(f"before clicking {name}")
            box = self.find(("push button", "radio button"), name, x, y)
            if box is not None and box[4]:
                break
            if time.time() > deadline:  # not there, or never enabled (a screen still filling itself)
                raise Failure(f"no enabled control {name!r} to click; shown: {sorted(self.shown())}")
            time.sleep(0.1)
        bx, by, bw, bh, _ = box
        if not (bx <= x <= bx + bw * SCALE and by <= y <= by + bh * SCALE):
            raise Failure(f"{name!r} is at {box[:4]} on the display, not under canvas {point}")
        subprocess.run(["xdotool", "mousemove", *self.at(point), "click", "1"], check=True, env=self.env)
        self.step += 1

    def choose_name(self, point, name):
        """Clicks a row of the name list and waits until the screen names the one chosen (the rows'
        places in the accessibility tree are not mapped through the scaling, so they are not checked)."""
        self.check_alive(f"before choosing {name}")
        subprocess.run(["xdotool", "mousemove", *self.at(point), "click", "1"], check=True, env=self.env)
        self.step += 1
        deadline = time.time() + SCREEN_WAIT
        while time.time() < deadline:
            self.check_alive(f"after choosing {name}")
            if any(role == "label" and name in text for role, text in self.shown()):
                print(f"  chose {name}", flush=True)
                return
            time.sleep(0.2)
        raise Failure(f"choosing the row at canvas {point} did not choose {name}")

    def type_text(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", text], check=True, env=self.env)

    def shot(self, name):
        if shutil.which("import") is None:  # ImageMagick's, for a person to look at a failure
            return
        subprocess.run(["import", "-window", "root", os.path.join(self.out, f"{self.step:03d}-{name}.png")],
                       env=self.env, stderr=subprocess.DEVNULL)

    # ---- the accessibility tree ----
    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == self.program_proc.pid:
                return app
        return None

    def walk(self):
        app = self.application()
        if app is None:
            return
        try:
            app.clear_cache()
        except Exception:
            pass
        stack = [app]
        while stack:
            node = stack.pop()
            try:
                if node is not app and not node.getState().contains(pyatspi.STATE_SHOWING):
                    continue
                role, name = node.getRoleName(), node.name.strip()
                # A list's or table's rows name no screen, and reading them is most of the tree; nor does what
                # lies past the display's edge (the levels screen's columns scrolled out of sight).
                if role in ("list", "table", "tree table", "tree"):
                    pass
                elif role in ("frame", "filler") and node is not app and self.off_display(node):
                    pass
                else:
                    stack.extend(c for c in node if c is not None)
            except Exception:  # a widget went away while it was read
                continue
            yield role, name, node

    @staticmethod
    def off_display(node):
        e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x >= WIDTH or e.y >= HEIGHT

    def shown(self):
        t = time.time()
        result = {(role, name) for role, name, _ in self.walk()}
        if os.environ.get("SMOKE_PROFILE"):
            print(f"    walk: {len(result)} names, {time.time() - t:.2f} s", flush=True)
        return result

    def find(self, roles, name, x, y):
        """The display box and enabled state of a control of one of `roles` named `name`: the one
        under (x, y) when there is one (a screen may show two of a name), else the first."""
        found = None
        for r, text, n in self.walk():
            try:
                if r in roles and text == name:
                    e = n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    box = (e.x, e.y, e.width, e.height, n.getState().contains(pyatspi.STATE_ENABLED))
                    if e.x <= x <= e.x + e.width * SCALE and e.y <= y <= e.y + e.height * SCALE:
                        return box
                    found = found or box
            except Exception:
                continue
        return found

    def wait_for(self, screen, timeout=SCREEN_WAIT):
        present, absent = SCREENS[screen]
        deadline = time.time() + timeout
        seen = set()
        while time.time() < deadline:
            self.check_alive(f"while waiting for the {screen} screen")
            seen = self.shown()
            if present <= seen and not (absent & seen):
                return
            time.sleep(0.2)
        self.shot(f"not-{screen}")
        with open(os.path.join(self.out, f"{self.step:03d}-not-{screen}.txt"), "w") as f:
            f.writelines(f"{role}\t{name}\n" for role, name in sorted(seen))
        raise Failure(f"the {screen} screen did not show within {timeout:.0f} s; what showed is in "
                      f"{self.step:03d}-not-{screen}.txt and .png")

    def go(self, point, name, screen, settle=0.0):
        self.click(point, name)
        self.wait_for(screen)
        if settle:
            time.sleep(settle)
        print(f"  {name} -> {screen} ({time.time() - self.started:.1f} s)", flush=True)


def tour(s, round_number):
    print(f"round {round_number}", flush=True)
    # A student: the hub and back, a practice drill and a test drill, the personal data panel.
    s.choose_name(NAME_STUDENT_ROW, "坂本健太")
    s.go(NAME_OK, "O.K.", "hub")
    s.go(HUB_BACK, "戻る(0)", "name")
    s.choose_name(NAME_STUDENT_ROW, "坂本健太")
    s.go(NAME_OK, "O.K.", "hub")
    s.go(HUB_START_PRACTICE, "ｽﾀｰﾄ(1)", "practice")
    s.go(DRILL_BACK, "戻る", "hub")
    # Level 2's minimum time is one second in this school: its test times out after five.
    s.go(HUB_START_TEST, "ｽﾀｰﾄ(2)", "test")
    s.wait_for("result", 20)
    print("  test timed out -> result", flush=True)
    s.go(RESULT_MENU, "メニューへ", "hub")
    s.click(HUB_PERSONAL_TIMES, "個人ﾀｲﾑ")
    s.go(HUB_GRAPH, "グラフ", "personal")
    s.go(PERSONAL_BACK, "戻る", "hub")
    # The worksheet and the print layout screens.
    s.go(HUB_PRINT, "印刷", "worksheet")
    s.go(WORKSHEET_TO_PRINT, "印刷へ", "printlayout")
    s.go(PRINT_LAYOUT_BACK, "戻る", "worksheet")
    s.go(WORKSHEET_BACK, "もどる", "hub")
    s.go(HUB_BACK, "戻る(0)", "name")
    # A teacher: the password panel, each teacher tool and back, and the panel's own 戻る.
    s.choose_name(NAME_TEACHER_ROW, "★山本先生")
    s.go(NAME_OK, "O.K.", "hub")
    s.go(HUB_DATA, "データ処理", "password")
    s.go(PASSWORD_CANCEL, "戻る", "hub")
    # Each tool three times a round: opening one by mouse is where a screen change that destroyed the
    # clicked button under the scaled canvas's release crashed, on most tries but not all.
    tools = ((PASSWORD_RECORDS, "データ変更", "records"), (PASSWORD_STANDARDS, "合格タイムデータ変更", "standards"))
    for tool, name, screen in tools * 3:
        s.go(HUB_DATA, "データ処理", "password")
        s.type_text("juku")
        s.go(tool, name, screen)
        s.go(TOOL_BACK, "戻る", "hub")
    s.go(HUB_BACK, "戻る(0)", "name")


def main():
    program, app_folder, out = sys.argv[1:4]
    rounds = int(os.environ.get("SMOKE_ROUNDS", "2"))
    os.makedirs(out, exist_ok=True)
    s = Session(os.path.abspath(program), app_folder, out)
    started = s.started = time.time()
    try:
        s.start()
        s.wait_for("name", 30)
        for r in range(1, rounds + 1):
            tour(s, r)
        s.check_alive("at the end")
        print(f"{rounds} rounds passed in {time.time() - started:.1f} s", flush=True)
        return 0
    except Failure as e:
        print(f"FAILED after {time.time() - started:.1f} s, step {s.step}: {e}", flush=True)
        return 1
    finally:
        s.stop()


if __name__ == "__main__":
    sys.exit(main())
