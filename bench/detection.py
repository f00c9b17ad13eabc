#!/usr/bin/env python3
"""How often quillow-cli's automatic encoding detection reads a legacy file right.

    detection.py [--cli QUILLOW_CLI] [--baseline OTHER_CLI] [--files N] [--seed S]
                 [--lines 1,10,100,1000] [--locale C|zh_CN] [--markdown] [--wrong]

Generates N files for every encoding and size, half of them prose, half
records (mostly ASCII fields and a name), in the language the encoding is made
for: Simplified Chinese in GB18030, Traditional Chinese in Big5, Japanese in
Shift_JIS, Korean in EUC-KR, Russian in windows-1251, French, German and
Spanish in windows-1252, Polish, Czech and Hungarian in ISO-8859-2. Lets
quillow-cli --count read each (its status names the encoding it chose) and
counts a guess as right when the chosen encoding decodes the bytes to the text
they were made from. Prints the rate per encoding and size, for --baseline too
when given (a build of another commit), with the number of single-byte
guesses; --wrong lists the wrong guesses. --locale runs the programs under
LANG=C (default) or with LANGUAGE=zh_CN LANG=zh_CN.UTF-8.
"""

import argparse
import codecs
import os
import random
import re
import subprocess
import sys
import tempfile

# Words of each language; lines are made of a few of them, with the
# punctuation, numbers and ASCII that real lists and logs carry.
WORDS = {
    "zh_Hans": "我们 中国 发展 经济 社会 问题 工作 时间 公司 市场 学生 老师 学校 北京 上海 城市 人民 政府 国家 "
               "技术 服务 管理 系统 数据 信息 网络 产品 价格 客户 订单 文件 报告 会议 项目 计划 需要 已经 可以 "
               "没有 他们 这个 那些 因为 所以 但是 如果 还是 非常 重要 新的 大家 今天 明天 昨天 电话 地址 "
               "银行 医院 火车 飞机 天气 朋友 家庭 孩子 父母 历史 文化 语言 汉字 书店 图书馆 电脑 手机 "
               "软件 开发 测试 用户 名单 姓名 邮件 备注 状态 完成 处理 成功 失败 错误 警告 结果 统计".split(),
    "zh_Hant": "我們 中國 發展 經濟 社會 問題 工作 時間 公司 市場 學生 老師 學校 臺北 香港 城市 人民 政府 國家 "
               "技術 服務 管理 系統 資料 資訊 網路 產品 價格 客戶 訂單 檔案 報告 會議 專案 計畫 需要 已經 可以 "
               "沒有 他們 這個 那些 因為 所以 但是 如果 還是 非常 重要 新的 大家 今天 明天 昨天 電話 地址 "
               "銀行 醫院 火車 飛機 天氣 朋友 家庭 孩子 父母 歷史 文化 語言 漢字 書店 圖書館 電腦 手機 "
               "軟體 開發 測試 使用者 名單 姓名 郵件 備註 狀態 完成 處理 成功 失敗 錯誤 警告 結果 統計".split(),
    "ja": "わたし あなた 日本 東京 大阪 会社 社員 学校 先生 学生 時間 今日 明日 昨日 天気 電話 住所 名前 "
          "ファイル データ システム サーバー ユーザー パスワード メール ニュース テスト エラー 警告 完了 "
          "します しました ください です ました ありません について による ために ですが から まで "
          "東京都 新しい 古い 大きい 小さい 美しい 食べる 飲む 行く 来る 見る 書く 読む 話す 聞く "
          "漢字 ひらがな カタカナ 情報 技術 開発 管理 顧客 注文 価格 商品 報告 会議 予定 結果".split(),
    "ko": "우리 한국 서울 부산 회사 직원 학교 선생님 학생 시간 오늘 내일 어제 날씨 전화 주소 이름 "
          "파일 데이터 시스템 서버 사용자 비밀번호 메일 뉴스 시험 오류 경고 완료 합니다 했습니다 "
          "입니다 없습니다 대한 위한 그리고 하지만 그래서 새로운 오래된 큰 작은 아름다운 먹다 마시다 "
          "가다 오다 보다 쓰다 읽다 말하다 듣다 정보 기술 개발 관리 고객 주문 가격 상품 보고서 회의 "
          "일정 결과 한글 문화 역사 언어 가족 친구 병원 은행 기차 비행기".split(),
    "ru": "мы Россия Москва город компания сотрудник школа учитель студент время сегодня завтра вчера "
          "погода телефон адрес имя файл данные система сервер пользователь пароль почта новости тест "
          "ошибка предупреждение готово работа вопрос проблема решение новый старый большой маленький "
          "красивый есть пить идти смотреть писать читать говорить слушать информация технология "
          "разработка управление клиент заказ цена товар отчёт встреча план результат язык история".split(),
    "west": "café naïve déjà façade élève père mère été hôtel forêt über Straße Größe Mädchen Bäcker Müller "
            "schön grün Tür Öl año niño señor mañana pequeño corazón canción acción información Málaga "
            "José Françoise Zoë Björn crème brûlée piñata jalapeño fiancée garçon Noël Bücher "
            "Käse Frühstück Fußball München Zürich Genève Besançon Cádiz Córdoba León Ángel "
            "le la les et de des une est pour avec der die das und ist mit für el los las que por con".split(),
    "central": "Łódź Kraków Gdańsk Poznań źródło żółw łąka ćma gęś ślub książka pięść mąż "
               "Praha Brno Plzeň Ostrava čeština řeka žluťoučký kůň úpěl ďábelské ódy příliš šťastný "
               "dům vůně Győr Pécs Debrecen Szeged árvíztűrő tükörfúrógép őszi ülő Győző "
               "Bratislava Košice ľad ťava ôsmy dĺžka "
               "nie jest oraz się na do to jak ale se je na to jak ale az egy hogy nem van".split(),
}

# Given names and surnames, with the rarer characters names have.
NAMES = {
    "zh_Hans": ("王 李 张 刘 陈 杨 赵 黄 周 吴 徐 孙 胡 朱 高 林 何 郭 马 罗 梁 宋 郑 谢 韩 唐 冯 于 董 萧".split(),
                "伟 芳 娜 秀英 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀兰 霞 平 刚 桂英 玥 璐 婷 皓 昊 晗 "
                "骁 琳 瑶 芮 钰 蕾 彤 翊 煜 澍 缇 琦 滢 俣 锴".split()),
    "zh_Hant": ("王 李 張 劉 陳 楊 趙 黃 周 吳 徐 孫 胡 朱 高 林 何 郭 馬 羅 梁 宋 鄭 謝 韓 唐 馮 于 董 蕭".split(),
                "偉 芳 娜 秀英 敏 靜 麗 強 磊 軍 洋 勇 豔 傑 娟 濤 明 超 秀蘭 霞 平 剛 桂英 璐 婷 皓 昊 "
                "琳 瑤 芮 鈺 蕾 彤 翊 煜 琦 瀅 鍇".split()),
    "ja": ("佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤 吉田 山田 佐々木 山口 松本".split(),
           "翔太 陽菜 結衣 大翔 さくら 美咲 蓮 葵 ゆい はると あおい 健太 真由美 拓也 彩".split()),
    "ko": ("김 이 박 최 정 강 조 윤 장 임 한 오 서 신 권".split(),
           "민준 서연 지우 하은 도윤 서준 지민 수빈 예린 현우 은지 태희 영호 미숙 성민".split()),
    "ru": ("Иванов Смирнов Кузнецов Попов Васильев Петров Соколов Михайлов Новиков Фёдоров".split(),
           "Александр Мария Дмитрий Анна Сергей Елена Андрей Ольга Алексей Татьяна".split()),
    "west": ("Müller Schäfer Lefèvre Gonçalves Núñez Peña Dupré Wäger Öztürk Ibáñez".split(),
             "José Zoë Renée Jürgen Ángel Inés Françoise Björn Lucía Gaëlle".split()),
    "central": ("Kowalski Wiśniewski Wójcik Kamiński Dvořák Novák Černý Nagy Kovács Szabó".split(),
                "Łukasz Małgorzata Jiří Tomáš Zuzana Péter Erzsébet Gyöngyi Paweł Božena".split()),
}

# (label, Python codec, language, whether the language writes without spaces)
ENCODINGS = [
    ("GB18030", "gb18030", "zh_Hans", True),
    ("Big5", "big5", "zh_Hant", True),
    ("Shift_JIS", "shift_jis", "ja", True),
    ("EUC-KR", "euc_kr", "ko", False),
    ("windows-1251", "cp1251", "ru", False),
    ("windows-1252", "cp1252", "west", False),
    ("ISO-8859-2", "iso8859_2", "central", False),
]

CJK_PUNCT = "，。、：；！？（）《》“”"


def make_record(rng, language, dense):
    """A line of a list or an export: mostly ASCII, a name or a word of the language."""
    surnames, given = NAMES[language]
    name = rng.choice(surnames) + ("" if dense else " ") + rng.choice(given)
    if not dense:
        name = name.split()[1] + " " + name.split()[0]
    fields = [str(rng.randint(1000, 99999)), name, f"{rng.randint(20, 80)}",
              rng.choice(["A", "B", "OK", "N/A", "x"]), f"{rng.randint(1, 999)}.{rng.randint(0, 99):02d}"]
    if rng.random() < 0.5:
        fields.append(rng.choice(WORDS[language]))
    return rng.choice([",", ";", "\t"]).join(fields)


def make_line(rng, language, dense):
    words = WORDS[language]
    parts = []
    for _ in range(rng.randint(2, 9)):
        w = rng.choice(words)
        if dense and rng.random() < 0.2:
            w += rng.choice(CJK_PUNCT)
        elif not dense and rng.random() < 0.1:
            w += rng.choice(",.;:!?")
        parts.append(w)
    line = ("" if dense else " ").join(parts)
    r = rng.random()
    if r < 0.15:
        line = f"{rng.randint(1, 99999)}\t{line}"
    elif r < 0.25:
        line = f"2024-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d} {line}"
    elif r < 0.3:
        line = f"{line} (ID {rng.randint(100, 999)}-{rng.choice('ABCDEFXYZ')})"
    return line


def make_text(rng, language, dense, lines):
    """Prose (sentences of words) or records (one name a line), half of the files each."""
    make = make_line if rng.random() < 0.5 else make_record
    return "".join(make(rng, language, dense) + "\n" for _ in range(lines))


STATUS = re.compile(r"^quillow-cli: (?:text encoding|文本编码) ([A-Za-z0-9_.:+-]+)", re.M)


def detected(cli, path, env):
    run = subprocess.run([cli, "--count", path], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    found = STATUS.search(run.stderr.decode("utf-8", "replace"))
    return found.group(1) if found else "UTF-8"


def reads_right(name, data, text):
    try:
        return codecs.decode(data, codecs.lookup(name).name) == text
    except (LookupError, UnicodeDecodeError):
        return False


def single_byte(name):
    try:
        info = codecs.lookup(name)
    except LookupError:
        return False
    return all(len(chr(c).encode(info.name, "ignore")) <= 1 for c in (0x4E00, 0x3042, 0xAC00, 0x20AC))


def measure(cli, cases, env):
    """{(label, lines): (right, total, single_byte_guesses, {wrong guess: count})}"""
    out = {}
    for (label, lines), files in cases.items():
        right = singles = 0
        wrong = {}
        for path, data, text in files:
            name = detected(cli, path, env)
            if reads_right(name, data, text):
                right += 1
            else:
                wrong[name] = wrong.get(name, 0) + 1
            singles += single_byte(name)
        out[(label, lines)] = (right, len(files), singles, wrong)
    return out


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--cli", default=os.path.join(os.path.dirname(__file__), "..", "build", "quillow-cli"))
    p.add_argument("--baseline", help="another quillow-cli to compare with")
    p.add_argument("--files", type=int, default=25, help="files per encoding and size")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--lines", default="1,10,100,1000")
    p.add_argument("--locale", choices=["C", "zh_CN"], default="C")
    p.add_argument("--markdown", action="store_true")
    p.add_argument("--wrong", action="store_true", help="also list the wrong guesses")
    a = p.parse_args()

    env = {k: v for k, v in os.environ.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")}
    if a.locale == "C":
        env["LANG"] = "C"
    else:
        env.update(LANGUAGE="zh_CN", LANG="zh_CN.UTF-8")
    sizes = [int(n) for n in a.lines.split(",")]
    rng = random.Random(a.seed)
    with tempfile.TemporaryDirectory() as work:
        env["XDG_CONFIG_HOME"] = work  # the documented defaults, whatever is stored
        cases = {}
        for label, codec, language, dense in ENCODINGS:
            for lines in sizes:
                files = []
                for k in range(a.files):
                    text = make_text(rng, language, dense, lines)
                    data = text.encode(codec)
                    path = os.path.join(work, f"{label}-{lines}-{k}.txt")
                    with open(path, "wb") as f:
                        f.write(data)
                    files.append((path, data, text))
                cases[(label, lines)] = files
        runs = [("after" if a.baseline else "right", measure(a.cli, cases, env))]
        if a.baseline:
            runs.insert(0, ("before", measure(a.baseline, cases, env)))

    print(f"Right guesses among {a.files} generated files per cell, locale {a.locale};"
          " single-byte guesses in brackets")
    head = ["encoding", "lines"] + [name for name, _ in runs]
    rows = []
    for label, *_ in ENCODINGS:
        for lines in sizes:
            cells = []
            for _, result in runs:
                right, total, singles, _ = result[(label, lines)]
                cells.append(f"{100 * right / total:.0f} % ({singles})")
            rows.append([label, str(lines)] + cells)
    if a.markdown:
        print("| " + " | ".join(head) + " |")
        print("|" + "---|" * len(head))
        for r in rows:
            print("| " + " | ".join(r) + " |")
    else:
        widths = [max(len(x) for x in col) for col in zip(head, *rows)]
        for r in [head] + rows:
            print("  ".join(x.ljust(w) for x, w in zip(r, widths)))
    if a.wrong:
        for name, result in runs:
            for (label, lines), (*_, wrong) in result.items():
                if wrong:
                    print(f"{name}: {label} {lines}: " + ", ".join(f"{k} {v}" for k, v in sorted(wrong.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
