#!/usr/bin/env python3
"""Seeded generator of realistic text files for benchmarks and peer checks.

Every line is either new or a repeat of an earlier line. A new line is one of a
pool of templates (log records, contacts, shopping and order lines, notes,
Chinese and accented text) with a nine-digit code that is unique per new line,
so new lines never collide by accident and --dup-share is the real share of
repeated lines. Repeats pick an earlier new line at random and may differ from
it in letter case or by extra blanks at the ends.

The output depends only on the options: the same seed gives the same bytes.

    gen_lines.py --lines 1000000 --seed 7 -o out.txt
"""

import argparse
from array import array
import random
import sys

FIRST = ("Anna Ben Clara David Emma Felix Greta Hannah Isaac Julia Karl Laura "
         "Martin Nina Oscar Paula Quentin Rosa Simon Tara Uwe Vera Walter Yara "
         "Zoe Liam Olivia Noah Sophia James Mia Lucas Ava Ethan Chloe Mason "
         "Grace Logan Ruby Henry Alice Jack Ella Owen Lily Leo Ivy Adam Eva").split()
LAST = ("Smith Johnson Miller Brown Davis Wilson Moore Taylor Anderson Thomas "
        "Jackson White Harris Martin Thompson Garcia Clark Lewis Walker Hall "
        "Young King Wright Scott Green Baker Adams Nelson Hill Campbell Mitchell "
        "Roberts Carter Phillips Evans Turner Parker Collins Edwards Stewart "
        "Morris Murphy Cook Rogers Morgan Cooper Peterson Bailey Reed Kelly").split()
CITIES = ("London Berlin Madrid Lisbon Vienna Prague Oslo Dublin Boston Denver "
          "Seattle Austin Toronto Sydney Auckland Chicago Hamburg Munich Zurich "
          "Geneva Lyon Porto Krakow Helsinki Tallinn Riga Bristol Leeds").split()
STREETS = ("High Street,Station Road,Church Lane,Mill Road,Park Avenue,Oak Drive,"
           "Elm Street,Victoria Road,Green Lane,Maple Close,King Street,"
           "Queen's Road,Bridge Street,Market Square,Harbour View").split(",")
DOMAINS = "example.com example.org mail.example.net post.example.de".split()
PRODUCTS = ("whole milk,brown bread,free-range eggs,cheddar cheese,greek yogurt,"
            "orange juice,green apples,bananas,cherry tomatoes,baby spinach,"
            "basmati rice,spaghetti,olive oil,sea salt,black pepper,ground coffee,"
            "green tea,dark chocolate,peanut butter,rolled oats,honey,butter,"
            "chicken breast,salmon fillet,minced beef,tofu,chickpeas,red lentils,"
            "paper towels,dish soap,laundry detergent,toothpaste,shampoo,"
            "AA batteries,light bulbs,bin bags,sparkling water,red wine").split(",")
UNITS = "1 l,500 g,1 kg,250 g,6 pack,12 pcs,2 l,750 ml,400 g,1 pc".split(",")
LEVELS = "INFO INFO INFO INFO DEBUG WARN ERROR".split()
COMPONENTS = ("http,db,auth,cache,scheduler,mailer,billing,search,"
              "worker-1,worker-2,worker-3,api,gateway").split(",")
EVENTS = ("request completed,user logged in,user logged out,session expired,"
          "cache miss,cache refreshed,job started,job finished,payment accepted,"
          "payment declined,retrying connection,connection reset by peer,"
          "slow query detected,invoice sent,password changed,file uploaded,"
          "order shipped,order cancelled,quota exceeded,health check ok").split(",")
WORDS = ("the a of to and in for on with at by from about after before call "
         "check send buy fix bring book pay clean order pick update review "
         "meeting report invoice ticket parcel package garden kitchen office "
         "car bike train flight hotel doctor dentist school library bank "
         "birthday present dinner lunch tomorrow today monday friday weekend "
         "morning evening next week month please remember important urgent "
         "later soon again maybe new old small big red blue green quick "
         "notes list plan draft budget backup server laptop phone charger "
         "window door roof heating water bill rent insurance tax form").split()
# Chinese and accented text; case variants of accented lines exercise full
# case folding (É/é, Ü/ü), the Chinese ones have no letter case at all.
ZH_NAMES = "张伟 王芳 李娜 刘洋 陈静 杨磊 赵敏 黄强 周杰 吴霞 徐丽 孙涛".split()
ZH_CITIES = "北京 上海 广州 深圳 杭州 成都 南京 武汉 西安 苏州".split()
ZH_ITEMS = ("牛奶 面包 鸡蛋 大米 苹果 香蕉 绿茶 咖啡 酱油 食用油 "
            "纸巾 洗衣液 牙膏 电池 矿泉水 巧克力").split()
ZH_NOTES = ("请尽快处理 已经发货 等待付款 明天到货 客户来电 需要确认 "
            "会议改到下午 记得带上发票 周末加班 订单已取消").split()
ACCENTED = ("Crème brûlée,Café au lait,Müsli mit Früchten,Smørrebrød,"
            "Jalapeño,Piña colada,Gruyère,Pâté de campagne,Pão de queijo,"
            "Käsespätzle,Crêpes Suzette,Ćevapčići,Gâteau basque,Æbleskiver,"
            "Señor Muñoz,Zoë Brontë,José Álvarez,Łukasz Wójcik,Søren Kierkegård,"
            "Émilie Dubois,Jürgen Groß,Ana Lúcia,François Lefèvre,Åsa Öberg").split(",")
ACC_CITIES = ("Zürich,Malmö,Kraków,São Paulo,Besançon,Düsseldorf,Córdoba,"
              "Reykjavík,Ærøskøbing,Montréal,Nürnberg,Saint-Étienne").split(",")
ACC_WORDS = ("très bien,déjà vu,à la carte,Grüße,naïve,façade,résumé,über,"
             "mañana,señal,coração,jämför,Straße,fiancée,Ñandú,Öl wechseln").split(",")

CODE = "%09d"  # the unique part of each new line


def esc(text):
    return text.replace("%", "%%")


def choice(rng, seq):
    return seq[int(rng.random() * len(seq))]


def template(rng, kind):
    """One pool entry: a format string with one CODE slot, and its filler words."""
    c = lambda seq: esc(choice(rng, seq))
    hh, mm, ss = int(rng.random() * 24), int(rng.random() * 60), int(rng.random() * 60)
    day = 1 + int(rng.random() * 28)
    mon = 1 + int(rng.random() * 12)
    if kind == 0:
        s = (f"2024-{mon:02d}-{day:02d} {hh:02d}:{mm:02d}:{ss:02d} [{CODE}] "
             f"{c(LEVELS)} {c(COMPONENTS)}: {c(EVENTS)}")
        return s, WORDS
    if kind == 1:
        first, last = choice(rng, FIRST), choice(rng, LAST)
        s = (f"{esc(first)} {esc(last)}, +44 {CODE}, "
             f"{esc(first.lower())}.{esc(last.lower())}@{c(DOMAINS)}, "
             f"{1 + int(rng.random() * 200)} {c(STREETS)}, {c(CITIES)}")
        return s, WORDS
    if kind == 2:
        qty = 1 + int(rng.random() * 6)
        price = 0.49 + int(rng.random() * 2000) / 100
        s = (f"order {CODE}: {qty} x {c(PRODUCTS)} ({c(UNITS)}) "
             f"{price:.2f} EUR")
        return s, WORDS
    if kind == 3:
        n = 3 + int(rng.random() * 6)
        words = " ".join(esc(choice(rng, WORDS)) for _ in range(n))
        s = f"{words[0].upper()}{words[1:]} (ticket {CODE})"
        return s, WORDS
    if kind == 4:
        s = (f"{c(ZH_NAMES)} {c(ZH_CITIES)} 订单{CODE} {c(ZH_ITEMS)} "
             f"{1 + int(rng.random() * 9)}件 {c(ZH_NOTES)}")
        return s, ZH_NOTES + ZH_ITEMS
    s = (f"{c(ACCENTED)}, {c(ACC_CITIES)}, réf. {CODE}, {c(ACC_WORDS)}")
    return s, ACC_WORDS


def build_pool(seed, size, avg_len, non_ascii):
    """Format strings whose rendered byte lengths average about avg_len.

    Templates have a minimum length, so short targets come out long; the target
    is corrected a few times until the average is close."""
    best, target = None, avg_len
    for _ in range(4):
        pool = build_pool_for(random.Random(f"pool:{seed}"), size, target, non_ascii)
        mean = sum(len((fmt % 0).encode()) for fmt in pool) / size
        if best is None or abs(mean - avg_len) < best[0]:
            best = (abs(mean - avg_len), pool)
        if abs(mean - avg_len) < 0.5 or target <= 1:
            break
        target = max(1, target + avg_len - mean)
    return best[1]


def build_pool_for(rng, size, avg_len, non_ascii):
    pool = []
    for _ in range(size):
        if rng.random() < non_ascii:
            kind = 4 + int(rng.random() * 2)
        else:
            kind = int(rng.random() * 4)
        fmt, filler = template(rng, kind)
        target = max(12, int(avg_len * (0.5 + rng.random())))
        length = len((fmt % 0).encode())
        while length < target:
            word = esc(choice(rng, filler))
            fmt += " " + word
            length += 1 + len(word.encode())
        if length > target + 2:
            # Shorten at a word boundary but keep the code whole.
            at = fmt.index(CODE) + len(CODE)
            cut = max(at, len(fmt) - (length - target))
            if cut < len(fmt) and fmt[cut] != " ":
                cut = max(at, fmt.rfind(" ", at, cut))
            fmt = fmt[:cut].rstrip(" ,:(")
            if (len(fmt) - len(fmt.rstrip("%"))) % 2:
                fmt = fmt[:-1].rstrip(" ")  # half of an escaped percent sign
        pool.append(fmt)
    return pool


CASE_CHANGES = (str.upper, str.lower, str.title, str.swapcase)


def generate(args, out):
    rng = random.Random(f"lines:{args.seed}")
    pool = build_pool(args.seed, args.pool, args.avg_len, args.non_ascii)
    npool = len(pool)
    eol = "\r\n" if args.crlf else "\n"
    rand = rng.random
    made = array("I")  # pool index of every new line, in order
    add = made.append
    chunk = []
    put = chunk.append
    write = out.write
    dup, casev, blankv, empty = args.dup_share, args.case_variants, args.blank_variants, args.empty_lines
    for _ in range(args.lines):
        r = rand()
        if r < empty:
            put(" " * int(rand() * 3))
        elif r < empty + dup and made:
            k = int(rand() * len(made))
            line = pool[made[k]] % ((k * 2654435761 + 12345) % 1000000000)
            if rand() < casev:
                line = CASE_CHANGES[int(rand() * 4)](line)
            if rand() < blankv:
                a = int(rand() * 3)
                line = " " * a + line + " " * (1 - (a > 0) + int(rand() * 2))
            put(line)
        else:
            k = len(made)
            p = int(rand() * npool)
            add(p)
            put(pool[p] % ((k * 2654435761 + 12345) % 1000000000))
        if len(chunk) >= 65536:
            chunk.append("")
            write(eol.join(chunk).encode())
            chunk.clear()
    if chunk:
        chunk.append("")
        write(eol.join(chunk).encode())


def share(text):
    value = float(text)
    if not 0.0 <= value <= 1.0:
        raise argparse.ArgumentTypeError(f"{text}: expected a share between 0 and 1")
    return value


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--lines", type=int, required=True, help="number of lines")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--avg-len", type=int, default=60,
                    help="average line length in bytes, without the line end (approximate)")
    ap.add_argument("--dup-share", type=share, default=0.3,
                    help="share of lines that repeat an earlier line")
    ap.add_argument("--case-variants", type=share, default=0.2,
                    help="share of repeats that differ in letter case")
    ap.add_argument("--blank-variants", type=share, default=0.1,
                    help="share of repeats with extra blanks at the ends")
    ap.add_argument("--non-ascii", type=share, default=0.05,
                    help="share of lines with Chinese or accented text")
    ap.add_argument("--empty-lines", type=share, default=0.0,
                    help="share of lines that are empty or blanks only")
    ap.add_argument("--crlf", action="store_true", help="CR LF line ends (default LF)")
    ap.add_argument("--pool", type=int, default=50000, help="number of line templates")
    ap.add_argument("-o", "--output", default="-", help="output file (default stdout)")
    args = ap.parse_args()
    if args.lines < 0 or args.pool < 1 or args.avg_len < 1:
        ap.error("--lines, --pool and --avg-len must be positive")
    if args.empty_lines + args.dup_share > 1.0:
        ap.error("--empty-lines and --dup-share add up to more than 1")
    if args.output == "-":
        generate(args, sys.stdout.buffer)
    else:
        with open(args.output, "wb") as out:
            generate(args, out)


if __name__ == "__main__":
    main()
