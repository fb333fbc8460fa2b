#!/usr/bin/env python3
"""Writes the shipped dictionary tree (Windows-1251 XML) from the tables below.

Run from anywhere: python3 dictionary/src/generate.py
The output goes to dictionary/Variables and dictionary/Dictionary beside this folder.
Edit the tables here, not the generated files.
"""
import os
from xml.sax.saxutils import quoteattr, escape

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DECLARATION = '<?xml version="1.0" encoding="windows-1251"?>'


def write(rel, lines):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    text = "\r\n".join([DECLARATION] + lines) + "\r\n"
    with open(path, "wb") as f:
        f.write(text.encode("cp1251"))


def attrs(pairs):
    return " ".join(f"{k}={quoteattr(str(v))}" for k, v in pairs if v is not None)


# ---------------------------------------------------------------------------
# Formats (VocFormat.xml): kind 0 simple, 1 list, 2 computed, 3 bit mask.
# ---------------------------------------------------------------------------
PROTECTIONS = ["Недогруз", "Перегруз", "МТЗ", "Дисбаланс тока", "Пониженное напряжение",
               "Повышенное напряжение", "Дисбаланс напряжения", "Сопротивление изоляции",
               "Перегрев двигателя", "Давление на приеме", "Турбинное вращение",
               "Чередование фаз", "Вибрация", "Авария преобразователя"]
INPUTS = ["Дверь станции", "Давление на устье", "Давление в коллекторе", "Уровень в затрубье",
          "Внешняя блокировка", "Резервный вход"]


def list_text(items):
    return ",".join(f'"{i}"' if (" " in i or "," in i) else i for i in items)


VOC_FORMATS = [
    # name, kind, mask, list items
    ("FORMAT_S", 0, "%s", None),
    ("FORMAT_D", 0, "%d", None),
    ("FORMAT_U", 0, "%u", None),
    ("FORMAT_X", 0, "%.4x", None),
    ("FORMAT_D2", 0, "%.2d", None),
    ("FORMAT_PCT", 0, "%d %%", None),
    ("FORMAT_F1", 0, "%.1f", None),
    ("FORMAT_F2", 0, "%.2f", None),
    ("FORMAT_F3", 0, "%.3f", None),
    ("FORMAT_N0", 0, "%.0n", None),
    ("FORMAT_E", 0, "%.3e", None),
    ("FORMAT_G", 0, "%g", None),
    ("LIST_ONOFF", 1, "", ["Выкл", "Вкл"]),
    ("LIST_YESNO", 1, "", ["Нет", "Да"]),
    ("LIST_MODE", 1, "", ["Ручной", "Автоматический", "По программе"]),
    ("LIST_CONTROL", 1, "", ["Местное", "Дистанционное", "Телемеханика"]),
    ("LIST_START_MODE", 1, "", ["Прямой пуск", "Плавный пуск", "Частотный пуск"]),
    ("LIST_ROTATION", 1, "", ["Прямое", "Обратное"]),
    ("LIST_PROTECT_ACTION", 1, "", ["Отключена", "Только сигнал", "Останов", "Останов с АПВ"]),
    ("LIST_BAUD", 1, "", ["1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]),
    ("LIST_SENSOR", 1, "", ["Нет", "ТМС с питанием по кабелю", "Цифровая ТМС", "Аналоговый датчик"]),
    ("LIST_WORK_STATE", 1, "", ["Останов", "Работа", "Ожидание АПВ", "Авария", "Блокировка"]),
    ("LIST_PROTOCOL", 1, "", ["Протокол 0", "Протокол 1", "Протокол 2"]),
    ("LIST_COMMAND_SOURCE", 1, "", ["Пульт", "Телемеханика", "Компьютер", "Программа", "Защита"]),
    ("FORMAT_HMS", 2, "%.2d:%.2d:%.2d", None),
    ("FORMAT_HM", 2, "%.2d:%.2d", None),
    ("FORMAT_MS", 2, "%.2d:%.2d", None),
    ("FORMAT_DHM", 2, "%d сут. %.2d ч %.2d мин", None),
    ("FORMAT_ADR", 2, "%d.%.2d.%d", None),
    ("FORMAT_DMY", 2, "%s.%s.%s", None),
    ("MASK_PROTECT", 3, "", PROTECTIONS),
    ("MASK_INPUTS", 3, "", INPUTS),
]

# ---------------------------------------------------------------------------
# Variables (Variables.xml): id, name, type, format, unit, IgnoreEvent3
# ---------------------------------------------------------------------------
S, D, U, X = "FORMAT_S", "FORMAT_D", "FORMAT_U", "FORMAT_X"
VARIABLES = [
    # Session names and versions
    (62, "Номер скважины", "T_STRING", S, ""),
    (63, "Номер куста", "T_STRING", S, ""),
    (1021, "Версия ПО контроллера", "T_STRING", S, ""),
    (9401, "Дата и время считывания", "T_STRING", S, ""),
    (10304, "Месторождение", "T_STRING", S, ""),
    (10315, "Версия ПО, старший номер", "T_SHORT", D, ""),
    (10316, "Версия ПО, младший номер", "T_SHORT", D, ""),
    (10317, "Номер сборки ПО", "T_SHORT", D, ""),
    (16370, "Протокол обмена", "T_SHORT", "LIST_PROTOCOL", ""),
    (16380, "Дескриптор образа журнала", "T_INT", D, ""),
    # Journals and counters of protocol 0
    (1014, "Журнал событий", "T_CHAR", X, ""),
    (1015, "Журнал остановов", "T_CHAR", X, ""),
    (1016, "Журнал работы", "T_INT", "FORMAT_DHM", ""),
    (1024, "Журнал трассировки", "T_CHAR", X, ""),
    # Journals and counters of protocol 1
    (9991, "Счетчик пусков двигателя", "T_INT", U, ""),
    (9995, "Полное время работы двигателя", "T_INT", "FORMAT_DHM", ""),
    (9996, "Общий простой двигателя", "T_INT", "FORMAT_DHM", ""),
    (10370, "Журнал событий", "T_CHAR", X, ""),
    (10371, "Журнал трассировки", "T_CHAR", X, ""),
    (15620, "Журнал аварий", "T_CHAR", X, ""),
    # Graphs of protocol 0
    (9900, "График пуска, ток фазы A", "T_FLOAT", "FORMAT_F1", "А"),
    (9901, "График пуска, ток фазы B", "T_FLOAT", "FORMAT_F1", "А"),
    (9902, "График пуска, ток фазы C", "T_FLOAT", "FORMAT_F1", "А"),
    (9903, "График пуска, напряжение AB", "T_FLOAT", "FORMAT_F1", "В"),
    (9904, "График пуска, напряжение BC", "T_FLOAT", "FORMAT_F1", "В"),
    (9905, "График пуска, напряжение CA", "T_FLOAT", "FORMAT_F1", "В"),
    (9906, "5-минутный график тока", "T_FLOAT", "FORMAT_F1", "А"),
    (9908, "5-минутный график напряжения", "T_FLOAT", "FORMAT_F1", "В"),
    (9910, "5-минутный график коэффициента мощности", "T_FLOAT", "FORMAT_F2", ""),
    (9920, "Часовой график температуры", "T_FLOAT", "FORMAT_F1", "°С"),
    (9922, "Часовой график давления", "T_FLOAT", "FORMAT_F1", "атм"),
    (9976, "5-минутный график температуры", "T_FLOAT", "FORMAT_F1", "°С"),
    (9978, "5-минутный график давления", "T_FLOAT", "FORMAT_F1", "атм"),
    # Archive and start graphs of protocol 1
    (10353, "Архив тока фазы A", "T_FLOAT", "FORMAT_F1", "А"),
    (10354, "Архив тока фазы B", "T_FLOAT", "FORMAT_F1", "А"),
    (10355, "Архив тока фазы C", "T_FLOAT", "FORMAT_F1", "А"),
    (10356, "Архив напряжения AB", "T_FLOAT", "FORMAT_F1", "В"),
    (10357, "Архив напряжения BC", "T_FLOAT", "FORMAT_F1", "В"),
    (10358, "Архив напряжения CA", "T_FLOAT", "FORMAT_F1", "В"),
    (10359, "Архив коэффициента мощности", "T_FLOAT", "FORMAT_F2", ""),
    (10360, "Архив давления на приеме", "T_FLOAT", "FORMAT_F1", "атм"),
    (10361, "Архив температуры двигателя", "T_FLOAT", "FORMAT_F1", "°С"),
    (10362, "Архив сопротивления изоляции", "T_FLOAT", "FORMAT_F1", "МОм"),
    (10363, "Интервал графика пуска", "T_CHAR", D, "с"),
    (10364, "График пуска, ток фазы A", "T_FLOAT", "FORMAT_F1", "А"),
    (10365, "График пуска, ток фазы B", "T_FLOAT", "FORMAT_F1", "А"),
    (10366, "График пуска, ток фазы C", "T_FLOAT", "FORMAT_F1", "А"),
    (10367, "График пуска, напряжение AB", "T_FLOAT", "FORMAT_F1", "В"),
    (10368, "График пуска, напряжение BC", "T_FLOAT", "FORMAT_F1", "В"),
    (10369, "График пуска, напряжение CA", "T_FLOAT", "FORMAT_F1", "В"),
    (10432, "Архив графиков пуска, ток фазы A", "T_FLOAT", "FORMAT_F1", "А"),
    (10433, "Архив графиков пуска, ток фазы B", "T_FLOAT", "FORMAT_F1", "А"),
    (10434, "Архив графиков пуска, ток фазы C", "T_FLOAT", "FORMAT_F1", "А"),
    (10435, "Архив графиков пуска, напряжение AB", "T_FLOAT", "FORMAT_F1", "В"),
    (10436, "Архив графиков пуска, напряжение BC", "T_FLOAT", "FORMAT_F1", "В"),
    (10437, "Архив графиков пуска, напряжение CA", "T_FLOAT", "FORMAT_F1", "В"),
    (16300, "Архив выходной частоты", "T_FLOAT", "FORMAT_F1", "Гц"),
    (16301, "Архив загрузки ПЭД", "T_FLOAT", "FORMAT_F1", "%"),
    (16302, "Архив выходного напряжения", "T_FLOAT", "FORMAT_F1", "В"),
    (16303, "Архив вибрации XY", "T_FLOAT", "FORMAT_F2", "g"),
    (16304, "Архив вибрации Z", "T_FLOAT", "FORMAT_F2", "g"),
]
# Pieces of the protocol-2 journal image named by the descriptor 16380.
JOURNAL_BLOCKS = range(16400, 16432)
VARIABLES += [(n, f"Образ журнала, блок {n - 16399}", "T_CHAR", X, "") for n in JOURNAL_BLOCKS]

# Setup variables of protocol-0 controllers (software version 0.0).
SETUP_V0 = [
    (1001, "Уставка защиты от недогруза", "T_SHORT", D, "%"),
    (1002, "Задержка защиты от недогруза", "T_SHORT", D, "с"),
    (1003, "Уставка защиты от перегруза", "T_SHORT", D, "%"),
    (1004, "Задержка защиты от перегруза", "T_SHORT", D, "с"),
    (1005, "Уставка МТЗ", "T_SHORT", D, "%"),
    (1006, "Допустимый дисбаланс токов", "T_CHAR", D, "%"),
    (1007, "Минимальное напряжение сети", "T_SHORT", D, "В"),
    (1008, "Максимальное напряжение сети", "T_SHORT", D, "В"),
    (1009, "Минимальное сопротивление изоляции", "T_SHORT", D, "кОм"),
    (1010, "Максимальная температура двигателя", "T_CHAR", D, "°С"),
    (1011, "Минимальное давление на приеме насоса", "T_FLOAT", "FORMAT_F1", "атм"),
    (1012, "Время АПВ", "T_SHORT", "FORMAT_MS", ""),
    (1013, "Режим работы", "T_CHAR", "LIST_MODE", ""),
    (1017, "Время работы по программе", "T_SHORT", "FORMAT_HM", ""),
    (1018, "Время паузы по программе", "T_SHORT", "FORMAT_HM", ""),
    (1019, "Номинальный ток двигателя", "T_FLOAT", "FORMAT_F1", "А"),
    (1020, "Номинальная мощность двигателя", "T_FLOAT", "FORMAT_F1", "кВт"),
    (1022, "Сетевой адрес контроллера", "T_CHAR", D, ""),
    (1023, "Скорость обмена", "T_CHAR", "LIST_BAUD", "бит/с"),
    (1025, "Контроль чередования фаз", "T_BOOL", "LIST_ONOFF", ""),
    (1026, "Защита от турбинного вращения", "T_BOOL", "LIST_ONOFF", ""),
    (1027, "Количество попыток АПВ", "T_CHAR", D, ""),
    (1028, "Задержка пуска после подачи питания", "T_SHORT", D, "с"),
    (1029, "Коррекция хода часов", "T_S_CHAR", D, "с/сут"),
    (1030, "Наработка станции", "T_INT", "FORMAT_DHM", ""),
]

# Setup variables of protocol-1 and protocol-2 controllers (versions 2.x and 3.x).
SETUP_V1 = [
    (10001, "Уставка защиты от недогруза", "T_SHORT", D, "%"),
    (10002, "Задержка защиты от недогруза", "T_SHORT", D, "с"),
    (10003, "Реакция защиты от недогруза", "T_CHAR", "LIST_PROTECT_ACTION", ""),
    (10004, "Уставка защиты от перегруза", "T_SHORT", D, "%"),
    (10005, "Задержка защиты от перегруза", "T_SHORT", D, "с"),
    (10006, "Реакция защиты от перегруза", "T_CHAR", "LIST_PROTECT_ACTION", ""),
    (10007, "Допустимый дисбаланс токов", "T_CHAR", D, "%"),
    (10008, "Допустимый дисбаланс напряжений", "T_CHAR", D, "%"),
    (10009, "Минимальное напряжение сети", "T_SHORT", D, "В"),
    (10010, "Максимальное напряжение сети", "T_SHORT", D, "В"),
    (10011, "Минимальное сопротивление изоляции", "T_FLOAT", "FORMAT_F1", "кОм"),
    (10012, "Максимальная температура двигателя", "T_SHORT", D, "°С"),
    (10013, "Минимальное давление на приеме насоса", "T_FLOAT", "FORMAT_F1", "атм"),
    (10014, "Минимальный коэффициент мощности", "T_FLOAT", "FORMAT_F2", ""),
    (10015, "Контроль чередования фаз", "T_BOOL", "LIST_ONOFF", ""),
    (10016, "Защита от турбинного вращения", "T_BOOL", "LIST_ONOFF", ""),
    (10017, "Максимальная вибрация", "T_FLOAT", "FORMAT_F1", "мм/с"),
    (10020, "АПВ после недогруза", "T_BOOL", "LIST_ONOFF", ""),
    (10021, "Время АПВ после недогруза", "T_INT", "FORMAT_HMS", ""),
    (10022, "АПВ после перегруза", "T_BOOL", "LIST_ONOFF", ""),
    (10023, "Время АПВ после перегруза", "T_INT", "FORMAT_HM", ""),
    (10024, "АПВ после пропадания питания", "T_BOOL", "LIST_ONOFF", ""),
    (10025, "Задержка АПВ по питанию", "T_SHORT", "FORMAT_MS", ""),
    (10026, "Количество попыток АПВ", "T_CHAR", D, ""),
    (10027, "Интервал сброса счетчика АПВ", "T_INT", "FORMAT_DHM", ""),
    (10030, "Режим работы", "T_CHAR", "LIST_MODE", ""),
    (10031, "Управление", "T_CHAR", "LIST_CONTROL", ""),
    (10032, "Способ пуска", "T_CHAR", "LIST_START_MODE", ""),
    (10033, "Направление вращения", "T_CHAR", "LIST_ROTATION", ""),
    (10034, "Время работы по программе", "T_INT", "FORMAT_HM", ""),
    (10035, "Время паузы по программе", "T_INT", "FORMAT_HM", ""),
    (10036, "Задержка пуска после подачи питания", "T_SHORT", D, "с"),
    (10040, "Тип двигателя", "T_STRING", S, ""),
    (10041, "Номинальная мощность двигателя", "T_FLOAT", "FORMAT_F1", "кВт"),
    (10042, "Номинальный ток двигателя", "T_FLOAT", "FORMAT_F1", "А"),
    (10043, "Номинальное напряжение двигателя", "T_SHORT", D, "В"),
    (10044, "Номинальная частота вращения", "T_SHORT", D, "об/мин"),
    (10045, "Тип насоса", "T_STRING", S, ""),
    (10046, "Номинальная подача насоса", "T_SHORT", D, "м3/сут"),
    (10047, "Напор насоса", "T_FLOAT", "FORMAT_N0", "м"),
    (10048, "Глубина спуска насоса", "T_FLOAT", "FORMAT_N0", "м"),
    (10049, "Коэффициент трансформации ТМПН", "T_FLOAT", "FORMAT_F2", ""),
    (10050, "Дата ввода в эксплуатацию", "T_STRING", "FORMAT_DMY", ""),
    (10051, "Заводской номер станции", "T_STRING", S, ""),
    (10060, "Уставка частоты", "T_FLOAT", "FORMAT_F1", "Гц"),
    (10061, "Минимальная частота", "T_FLOAT", "FORMAT_F1", "Гц"),
    (10062, "Максимальная частота", "T_FLOAT", "FORMAT_F1", "Гц"),
    (10063, "Время разгона", "T_SHORT", D, "с"),
    (10064, "Время торможения", "T_SHORT", D, "с"),
    (10065, "Несущая частота ШИМ", "T_FLOAT", "FORMAT_F1", "кГц"),
    (10066, "Выходное напряжение на 50 Гц", "T_SHORT", D, "В"),
    (10067, "Частота ступени разгона", "T_FLOAT", "FORMAT_F1", "Гц"),
    (10070, "Тип системы телеметрии", "T_CHAR", "LIST_SENSOR", ""),
    (10071, "Температура срабатывания по ТМС", "T_SHORT", D, "°С"),
    (10072, "Давление срабатывания по ТМС", "T_FLOAT", "FORMAT_F1", "атм"),
    (10073, "Коррекция показаний давления", "T_S_SHORT", D, "кПа"),
    (10074, "Поправка температуры", "T_S_CHAR", D, "°С"),
    (10080, "Сетевой адрес контроллера", "T_CHAR", D, ""),
    (10081, "Скорость обмена", "T_CHAR", "LIST_BAUD", "бит/с"),
    (10082, "Адрес в системе телемеханики", "T_SHORT", "FORMAT_ADR", ""),
    (10083, "Коррекция хода часов", "T_S_CHAR", D, "с/сут"),
    (10084, "Переход на летнее время", "T_BOOL", "LIST_YESNO", ""),
    (10085, "Дата последнего обслуживания", "T_STRING", "FORMAT_DMY", ""),
    (10086, "Пароль доступа установлен", "T_BOOL", "LIST_YESNO", ""),
    (10087, "Код доступа", "T_SHORT", X, ""),
    (10090, "Наработка контроллера", "T_INT", "FORMAT_DHM", ""),
    (10091, "Количество включений питания", "T_INT", U, ""),
    (10092, "Потребленная энергия", "T_FLOAT", "FORMAT_N0", "кВт·ч"),
    (10093, "Состояние станции", "T_CHAR", "LIST_WORK_STATE", ""),
    (10094, "Код последней аварии", "T_SHORT", X, ""),
]
# Changes of these are recorded without their values (access codes).
IGNORE_EVENT3 = {10086, 10087}

# ---------------------------------------------------------------------------
# Event vocabulary of protocol versions 0 and 1 (VocEvent.xml)
# ---------------------------------------------------------------------------
def ex(num, name, size, typ, fmt, ed="", cast=None):
    return (num, name, size, typ, fmt, ed, cast)


CHANGE_EXDATA = [ex(1, "Индекс", 2, "INT16U", U), ex(2, "Старое значение", 4, "INT32U", U),
                 ex(3, "Новое значение", 4, "INT32U", U)]
TRIP_CURRENT = [ex(1, "Ток", 4, "FP32", "FORMAT_F1", "А"), ex(2, "Уставка", 2, "INT16U", D, "%")]
TRIP_VOLTAGE = [ex(1, "Напряжение", 2, "INT16U", D, "В"), ex(2, "Уставка", 2, "INT16U", D, "В")]

VOC_EVENTS = [
    # code, name, colour, stop, except, extra values
    (1, "Пуск двигателя", "Green", 2, False, [ex(1, "Источник команды", 1, "INT8U", "LIST_COMMAND_SOURCE")]),
    (2, "Пуск двигателя по АПВ", "Green", 2, False, [ex(1, "Попытка АПВ", 1, "INT8U", D)]),
    (3, "Пуск по программе", "Green", 2, False, []),
    (4, "Останов оператором", "Navy", 1, False, [ex(1, "Источник команды", 1, "INT8U", "LIST_COMMAND_SOURCE")]),
    (5, "Останов по программе", "Navy", 1, False, []),
    (6, "Останов дистанционный", "Navy", 1, False, []),
    (10, "Срабатывание защиты от недогруза", "Red", 1, False, TRIP_CURRENT),
    (11, "Срабатывание защиты от перегруза", "Red", 1, False, TRIP_CURRENT),
    (12, "Срабатывание МТЗ", "Red", 1, False, [ex(1, "Ток", 4, "FP32", "FORMAT_F1", "А")]),
    (13, "Дисбаланс токов", "Red", 1, False, [ex(1, "Дисбаланс", 1, "INT8U", D, "%")]),
    (14, "Пониженное напряжение сети", "Red", 1, False, TRIP_VOLTAGE),
    (15, "Повышенное напряжение сети", "Red", 1, False, TRIP_VOLTAGE),
    (16, "Дисбаланс напряжений", "Red", 1, False, [ex(1, "Дисбаланс", 1, "INT8U", D, "%")]),
    (17, "Низкое сопротивление изоляции", "Red", 1, False, [ex(1, "Сопротивление", 4, "FP32", "FORMAT_F1", "кОм")]),
    (18, "Перегрев двигателя", "Red", 1, False, [ex(1, "Температура", 2, "INT16S", D, "°С")]),
    (19, "Низкое давление на приеме насоса", "Red", 1, False, [ex(1, "Давление", 4, "FP32", "FORMAT_F2", "атм")]),
    (20, "Турбинное вращение", "Red", 1, False, [ex(1, "Частота", 4, "FP32", "FORMAT_F1", "Гц")]),
    (21, "Нарушение чередования фаз", "Red", 1, False, []),
    (22, "Превышение вибрации", "Red", 1, False, [ex(1, "Вибрация", 4, "FP32", "FORMAT_F1", "мм/с")]),
    (23, "Авария преобразователя частоты", "Red", 1, False, [ex(1, "Код аварии", 2, "INT16U", X)]),
    (24, "Останов по совокупности защит", "Red", 1, False, [ex(1, "Защиты", 4, "INT32U", "MASK_PROTECT")]),
    (25, "Останов по дискретному входу", "Red", 1, False, [ex(1, "Входы", 1, "INT8U", "MASK_INPUTS")]),
    (30, "Отключение питания станции", "Maroon", 3, False, []),
    (31, "Включение питания станции", "Olive", 4, False, []),
    (32, "Нажата кнопка пульта", "Teal", 0, False, []),
    (40, "Открыта дверь станции", "Fuchsia", 0, False, []),
    (41, "Закрыта дверь станции", "Purple", 0, False, []),
    (42, "Ожидание АПВ", "Olive", 0, False, [ex(1, "Время до пуска", 2, "INT16U", "FORMAT_MS")]),
    (43, "Изменение режима работы", "Teal", 0, False, [ex(1, "Режим", 1, "INT8U", "LIST_MODE")]),
    (44, "Установка часов", "Gray", 0, False, [ex(1, "Коррекция", 4, "INT32S", D, "с")]),
    (45, "Сброс счетчиков", "Gray", 0, False, []),
    (46, "Вход в режим настройки", "Gray", 0, False, []),
    (47, "Считывание данных", "Gray", 0, False, []),
    (48, "Связь с ТМС восстановлена", "Green", 0, False, []),
    (49, "Нет связи с ТМС", "Purple", 0, False, []),
    (50, "Время работы за сутки", "Navy", 0, False, [ex(1, "Работа", 4, "INT32U", "FORMAT_HMS"),
                                                      ex(2, "Простой", 4, "INT32U", "FORMAT_HMS")]),
    (96, "Изменение параметра с пульта", "Black", 0, True, CHANGE_EXDATA),
    (97, "Изменение параметра по телемеханике", "Black", 0, True, CHANGE_EXDATA),
    (98, "Изменение параметра с компьютера", "Black", 0, True, CHANGE_EXDATA),
    (114, "Запрос на пуск", "Teal", 0, False, []),
    (115, "Запрос на останов", "Teal", 0, False, []),
    (116, "Команда телемеханики", "Teal", 0, False, []),
    (117, "Аварийное сообщение", "Maroon", 0, False, []),
    (256, "Обновление программного обеспечения", "Gray", 0, False, []),
    (257, "Сбой часов реального времени", "Maroon", 0, False, []),
    (258, "Калибровка измерителя", "Gray", 0, False, [ex(1, "Канал", 1, "INT8U", D)]),
    (0xA010, "Диагностика модуля ввода", "Gray", 0, False, [ex(1, "Состояние", 2, "INT16U", X)]),
]

# ---------------------------------------------------------------------------
# Controller event vocabulary of protocol 2 (KSUEvents.xml)
# ---------------------------------------------------------------------------
KSU_FORMATS = [
    # name, category, mask, list
    ("F_INT", 1, "%d", None),
    ("F_UINT", 1, "%u", None),
    ("F_FLOAT1", 1, "%.1f", None),
    ("F_FLOAT2", 1, "%.2f", None),
    ("FORMAT_X", 1, "%x", None),
    ("F_STRING", 2, "", None),
    ("F_COMMAND_SOURCE", 3, "", ["Пульт", "Телемеханика", "Компьютер", "Программа", "Защита"]),
    ("F_MODE", 3, "", ["Ручной", "Автоматический", "По программе"]),
    ("F_RESTART", 3, "", ["Подача питания", "Сторожевой таймер", "Команда оператора", "Обновление ПО"]),
    ("F_ACCESS", 3, "", ["Оператор", "Технолог", "Наладчик", "Администратор"]),
    ("F_PROTECT_MASK", 4, "", PROTECTIONS),
    ("F_INPUTS", 4, "", INPUTS),
]

KSU_GROUPS = [
    # id, name, children ("R" range text, "G" group number)
    (1, "Пуски двигателя", [("R", "0x1001-0x1004")]),
    (2, "Остановы по команде", [("R", "0x2001-0x2003")]),
    (4, "Аварийные остановы", [("R", "0x2010-0x2020")]),
    (6, "Изменения параметров", [("R", "0x3001-0x3003")]),
    (7, "Записи графиков", [("R", "0x9000-0x9034")]),
    (8, "Питание станции", [("R", "0xA001-0xA002")]),
    (9, "Сообщения", [("R", "0x4001-0x400A")]),
    (10, "Служебные записи", [("R", "0xA003-0xA006")]),
    (11, "Действия оператора", [("R", "0x5001-0x5008")]),
    (3, "Пуск двигателя", [("G", "1")]),
    (5, "Останов двигателя", [("G", "2"), ("G", "4")]),
    (13, "Журнал событий", [("G", "1"), ("G", "2"), ("G", "4"), ("G", "6"), ("G", "8"), ("G", "9"), ("G", "10")]),
    (14, "Журнал трассировки", [("G", "6"), ("G", "9"), ("G", "11")]),
]

KSU_CHANGE = [ex(1, "Индекс", 2, "INT16U", "F_UINT"), ex(2, "Уровень доступа", 1, "INT8U", "F_ACCESS"),
              ex(3, "Старое значение", 4, "INT32U", "F_UINT"), ex(4, "Новое значение", 4, "INT32U", "F_UINT")]
KSU_TRIP_CURRENT = [ex(1, "Ток", 4, "FP32", "F_FLOAT1", "А"), ex(2, "Загрузка", 1, "INT8U", "F_UINT", "%")]
KSU_TRIP_VOLTAGE = [ex(1, "Напряжение", 2, "INT16U", "F_UINT", "В")]

KSU_EVENTS = [
    # code, name, colour, except, extra values (the stop value follows from the groups)
    (0x1001, "Пуск двигателя", "Green", False, [ex(1, "Источник команды", 1, "INT8U", "F_COMMAND_SOURCE")]),
    (0x1002, "Пуск двигателя по АПВ", "Green", False, [ex(1, "Попытка АПВ", 1, "INT8U", "F_UINT")]),
    (0x1003, "Пуск по программе", "Green", False, []),
    (0x1004, "Пуск после подачи питания", "Green", False, []),
    (0x2001, "Останов оператором", "Navy", False, [ex(1, "Источник команды", 1, "INT8U", "F_COMMAND_SOURCE")]),
    (0x2002, "Останов по программе", "Navy", False, []),
    (0x2003, "Останов дистанционный", "Navy", False, []),
    (0x2010, "Срабатывание защиты от недогруза", "Red", False, KSU_TRIP_CURRENT),
    (0x2011, "Срабатывание защиты от перегруза", "Red", False, KSU_TRIP_CURRENT),
    (0x2012, "Срабатывание МТЗ", "Red", False, [ex(1, "Ток", 4, "FP32", "F_FLOAT1", "А")]),
    (0x2013, "Дисбаланс токов", "Red", False, [ex(1, "Дисбаланс", 1, "INT8U", "F_UINT", "%")]),
    (0x2014, "Пониженное напряжение сети", "Red", False, KSU_TRIP_VOLTAGE),
    (0x2015, "Повышенное напряжение сети", "Red", False, KSU_TRIP_VOLTAGE),
    (0x2016, "Дисбаланс напряжений", "Red", False, [ex(1, "Дисбаланс", 1, "INT8U", "F_UINT", "%")]),
    (0x2017, "Низкое сопротивление изоляции", "Red", False,
     [ex(1, "Сопротивление", 4, "FP32", "F_UINT", "кОм", cast="INT16U")]),
    (0x2018, "Перегрев двигателя", "Red", False, [ex(1, "Температура", 2, "INT16S", "F_INT", "°С")]),
    (0x2019, "Низкое давление на приеме насоса", "Red", False, [ex(1, "Давление", 4, "FP32", "F_FLOAT2", "атм")]),
    (0x201A, "Турбинное вращение", "Red", False, [ex(1, "Частота", 4, "FP32", "F_FLOAT1", "Гц")]),
    (0x201B, "Нарушение чередования фаз", "Red", False, []),
    (0x201C, "Превышение вибрации", "Red", False, [ex(1, "Вибрация", 4, "FP32", "F_FLOAT1", "мм/с")]),
    (0x201D, "Авария преобразователя частоты", "Red", False, [ex(1, "Код аварии", 2, "INT16U", "FORMAT_X")]),
    (0x201E, "Останов по совокупности защит", "Red", False, [ex(1, "Защиты", 4, "INT32U", "F_PROTECT_MASK")]),
    (0x201F, "Пропадание фазы", "Red", False, []),
    (0x2020, "Останов по дискретному входу", "Red", False, [ex(1, "Входы", 1, "INT8U", "F_INPUTS")]),
    (0x3001, "Изменение параметра с пульта", "Black", True, KSU_CHANGE),
    (0x3002, "Изменение параметра по телемеханике", "Black", True, KSU_CHANGE),
    (0x3003, "Изменение параметра с компьютера", "Black", True, KSU_CHANGE),
    (0x4001, "Открыта дверь станции", "Fuchsia", False, []),
    (0x4002, "Закрыта дверь станции", "Purple", False, []),
    (0x4003, "Ожидание АПВ", "Olive", False, [ex(1, "Время до пуска", 2, "INT16U", "F_UINT", "с")]),
    (0x4004, "Нет связи с ТМС", "Purple", False, []),
    (0x4005, "Изменение режима работы", "Teal", False, [ex(1, "Режим", 1, "INT8U", "F_MODE")]),
    (0x4006, "Связь с ТМС восстановлена", "Green", False, []),
    (0x4007, "Сброс аварии оператором", "Teal", False, []),
    (0x4008, "Вход в меню настройки", "Gray", False, [ex(1, "Уровень доступа", 1, "INT8U", "F_ACCESS")]),
    (0x4009, "Выход из меню настройки", "Gray", False, []),
    (0x400A, "Считывание данных", "Gray", False, []),
    (0x5001, "Нажата кнопка Пуск", "Teal", False, []),
    (0x5002, "Нажата кнопка Стоп", "Teal", False, []),
    (0x5003, "Запрос телемеханики", "Gray", False, []),
    (0x5004, "Сохранение архива", "Gray", False, []),
    (0x5005, "Перезапуск модуля связи", "Maroon", False, []),
    (0x5006, "Ошибка контрольной суммы пакета", "Maroon", False, [ex(1, "Сумма", 2, "INT16U", "FORMAT_X")]),
    (0x5007, "Калибровка измерителя", "Gray", False, [ex(1, "Канал", 1, "INT8U", "F_UINT")]),
    (0x5008, "Проверка памяти", "Gray", False, []),
    (0xA001, "Отключение питания станции", "Maroon", False,
     [ex(1, "Напряжение перед отключением", 2, "INT16U", "F_UINT", "В")]),
    (0xA002, "Включение питания станции", "Olive", False, []),
    (0xA003, "Перезапуск контроллера", "Maroon", False, [ex(1, "Причина", 1, "INT8U", "F_RESTART")]),
    (0xA004, "Установка часов", "Gray", False, [ex(1, "Коррекция", 4, "INT32S", "F_INT", "с")]),
    (0xA005, "Вход пользователя", "Gray", False, [ex(1, "Пользователь", 18, "STRING", "F_STRING")]),
    (0xA006, "Обновление программного обеспечения", "Gray", False, [ex(1, "Версия", 12, "STRING", "F_STRING")]),
]
# Graph records: code, channel name, unit (the value, then its validity byte).
GRAPH_CODES = [
    (0x9000, "загрузка ПЭД", "%"), (0x9001, "напряжение AB", "В"), (0x9002, "напряжение BC", "В"),
    (0x9003, "напряжение CA", "В"), (0x9004, "выходное напряжение", "В"), (0x9005, "ток фазы A", "А"),
    (0x9006, "ток фазы B", "А"), (0x9007, "ток фазы C", "А"), (0x9008, "коэффициент мощности", ""),
    (0x9009, "выходная частота", "Гц"), (0x900A, "сопротивление изоляции", "МОм"),
    (0x900B, "температура двигателя", "°С"), (0x900C, "давление на приеме", "атм"),
    (0x900D, "вибрация XY", "g"), (0x900E, "вибрация Z", "g"),
    (0x9030, "сопротивление изоляции по ТМС", "МОм"), (0x9031, "температура по ТМС", "°С"),
    (0x9032, "давление по ТМС", "атм"), (0x9033, "вибрация XY по ТМС", "g"),
    (0x9034, "вибрация Z по ТМС", "g"),
]
KSU_EVENTS += [(code, "График: " + name, "Silver", False,
                [ex(1, "Значение", 4, "FP32", "F_FLOAT2", unit), ex(2, "Достоверность", 1, "INT8U", "F_UINT")])
               for code, name, unit in GRAPH_CODES]

# ---------------------------------------------------------------------------
# Custom graphs (CustomGraph.xml)
# ---------------------------------------------------------------------------
def change_rules(codes, index, before, after):
    return [dict(Num=f"0x{c:X}" if c > 255 else str(c), Select="1", SelectValue=str(index),
                 ExData=str(after), BeginExData=str(before)) for c in codes]


CUSTOM_GRAPHS = [
    ("Уставка защиты от недогруза", "Недогруз, %", [
        (1, 10001, change_rules([96, 97, 98], 10001, 2, 3)),
        (2, 10001, change_rules([0x3001, 0x3002, 0x3003], 10001, 3, 4)),
        (3, 1001, change_rules([96, 97, 98], 1001, 2, 3)),
    ]),
    ("Уставка частоты", "F, Гц", [
        (1, 10060, change_rules([96, 97, 98], 10060, 2, 3)),
        (2, 10060, change_rules([0x3001, 0x3002, 0x3003], 10060, 3, 4)),
    ]),
    ("Режим работы", "Режим", [
        (1, 10030, [dict(Num="43", ExData="1", BeginValue="0")]),
        (2, 10030, [dict(Num="0x4005", ExData="1", BeginValue="0")]),
        (3, 1013, [dict(Num="43", ExData="1", BeginValue="0")]),
    ]),
    ("Температура при перегреве", "T, °С", [
        (1, 0, [dict(Num="18", ExData="1", BeginExData="1")]),
        (2, 0, [dict(Num="0x2018", ExData="1", BeginExData="1")]),
    ]),
    ("Ток при срабатывании защит", "I, А", [
        (1, 0, [dict(Num="10", ExData="1", BeginExData="1"), dict(Num="11", ExData="1", BeginExData="1"),
                dict(Num="12", ExData="1", BeginExData="1")]),
        (2, 0, [dict(Num="0x2010", ExData="1", BeginExData="1"), dict(Num="0x2011", ExData="1", BeginExData="1"),
                dict(Num="0x2012", ExData="1", BeginExData="1")]),
    ]),
]

# ---------------------------------------------------------------------------
# Setup files: page title (element name), then rows: ("H", heading) or (id, sub, caption)
# ---------------------------------------------------------------------------
def rows(ids):
    return [(i, 0, "") for i in ids]


SETUPS = {
    "0.0": [
        ("Информация", [("H", "Станция управления")] + rows([1021, 1030])),
        ("Защиты", [("H", "Токовые защиты")] + rows([1001, 1002, 1003, 1004, 1005, 1006]) +
         [("H", "Защиты по напряжению")] + rows([1007, 1008]) +
         [("H", "Технологические защиты")] + rows([1009, 1010, 1011, 1025, 1026])),
        ("АПВ", [("H", "Автоматическое повторное включение")] + rows([1012, 1027, 1028])),
        ("Режимы", [("H", "Режим работы")] + rows([1013, 1017, 1018])),
        ("Двигатель", [("H", "Паспортные данные")] + rows([1019, 1020])),
        ("Связь", [("H", "Интерфейс")] + rows([1022, 1023]) + [("H", "Часы")] + rows([1029])),
    ],
}
PROTECTION_PAGE = (
    [("H", "Токовые защиты")] + rows([10001, 10002, 10003, 10004, 10005, 10006, 10007]) +
    [("H", "Защиты по напряжению")] + rows([10008, 10009, 10010]) +
    [("H", "Технологические защиты")] + rows([10011, 10012, 10013, 10014, 10015, 10016, 10017]))
COMMON_V1 = [
    ("АПВ", [("H", "Автоматическое повторное включение")] + rows(range(10020, 10028))),
    ("Режимы", [("H", "Управление")] + rows([10030, 10031, 10032, 10033]) +
     [("H", "Работа по программе")] + rows([10034, 10035, 10036])),
    ("Двигатель", [("H", "Паспортные данные двигателя")] + rows(range(10040, 10045))),
    ("Насос", [("H", "Паспортные данные насоса")] + rows(range(10045, 10050))),
    ("ТМС", [("H", "Система телеметрии")] + rows(range(10070, 10075))),
    ("Связь", [("H", "Интерфейс")] + rows([10080, 10081, 10082]) +
     [("H", "Часы")] + rows([10083, 10084]) + [("H", "Доступ")] + rows([10086, 10087])),
]
SETUPS["2.13"] = (
    [("Информация", [("H", "Станция управления")] +
      rows([1021, 10051, 10050, 10085, 10090, 10091, 10093, 10094]))] +
    [("Защиты", PROTECTION_PAGE)] + COMMON_V1)
SETUPS["3.5"] = (
    [("Информация", [("H", "Станция управления")] +
      rows([1021, 10051, 10050, 10085, 10090, 10091, 10092, 10093, 10094]))] +
    [("Защиты", PROTECTION_PAGE)] + COMMON_V1 +
    [("Преобразователь", [("H", "Частотный преобразователь")] + rows(range(10060, 10067)) +
      [("H", "Ступени разгона")] + [(10067, s, f" {s + 1}") for s in range(4)])])


def gen_variables():
    lines = ["<PultexConsole>", "  <Variables>"]
    for vid, name, typ, fmt, ed in sorted(VARIABLES + SETUP_V0 + SETUP_V1):
        ign = "yes" if vid in IGNORE_EVENT3 else None
        lines.append("    <Variable " + attrs([("VariableId", vid), ("VariableFormat", fmt), ("VariableType", typ),
                                               ("VariableName", name), ("VariableEd", ed),
                                               ("IgnoreEvent3", ign)]) + "/>")
    lines += ["  </Variables>", "</PultexConsole>"]
    write("Variables/Variables.xml", lines)


def format_lines(element, kind_attr, formats):
    out = []
    for name, kind, mask, items in formats:
        head = f"<{element} " + attrs([(kind_attr, kind), ("NM", name), ("MaskBorland", mask)])
        out.append(head + (">" + escape(list_text(items)) + f"</{element}>" if items else "/>"))
    return out


def exdata_lines(indent, items):
    return [indent + "<ExData " + attrs([("Num", n), ("Name", nm), ("Size", sz), ("Type", t), ("Cast", c),
                                         ("Ed", ed), ("VFormat", f)]) + "/>"
            for n, nm, sz, t, f, ed, c in items]


def event_lines(code, name, color, stop, except_, items):
    a = [("EventId", f"0x{code:04X}" if code > 255 else code), ("EventName", name), ("Color", color),
         ("Stop", stop), ("Except", "yes" if except_ else None)]
    head = "    <Event " + attrs(a)
    if not items:
        return [head + "/>"]
    return [head + ">"] + exdata_lines("      ", items) + ["    </Event>"]


def gen_voc_format():
    write("Dictionary/VocFormat.xml",
          ["<PultexConsole>"] + ["  " + l for l in format_lines("VocFormat", "Type", VOC_FORMATS)] +
          ["</PultexConsole>"])


def gen_voc_event():
    lines = ["<PultexConsole>"]
    for code, name, color, stop, except_, items in VOC_EVENTS:
        lines += [l[2:] for l in event_lines(code, name, color, stop, except_, items)]
    write("Dictionary/VocEvent.xml", lines + ["</PultexConsole>"])


def gen_ksu_events():
    lines = ["<PultexConsole>", "  <Formats>"]
    lines += ["    " + l for l in format_lines("Format", "Category", KSU_FORMATS)]
    lines += ["  </Formats>", "  <EventGroups>"]
    for gid, name, children in KSU_GROUPS:
        body = "".join(f"<Range>{t}</Range>" if k == "R" else f"<GroupList>{t}</GroupList>" for k, t in children)
        lines.append("    <EventGroup " + attrs([("Id", gid), ("Name", name)]) + ">" + body + "</EventGroup>")
    lines += ["  </EventGroups>", "  <Events>"]
    for code, name, color, except_, items in KSU_EVENTS:
        lines += event_lines(code, name, color, None, except_, items)
    lines += ["  </Events>", "</PultexConsole>"]
    write("Dictionary/KSUEvents.xml", lines)


def gen_custom_graphs():
    lines = ["<PultexConsole>"]
    for name, short, variants in CUSTOM_GRAPHS:
        lines.append("  <Graph " + attrs([("Name", name), ("ShortName", short)]) + ">")
        for num, var, rules in variants:
            lines.append("    <Variant " + attrs([("Num", num), ("VarID", var or None), ("SubID", 0 if var else None)]) + ">")
            lines += ["      <Event " + attrs(list(r.items())) + "/>" for r in rules]
            lines.append("    </Variant>")
        lines.append("  </Graph>")
    write("Dictionary/CustomGraph.xml", lines + ["</PultexConsole>"])


def gen_setups():
    for version, pages in SETUPS.items():
        lines = ["<PultexConsole>"]
        for title, page_rows in pages:
            for row in page_rows:
                if row[0] == "H":
                    a = [("VariableID", 0), ("VariableSubId", 0), ("VariableNM", row[1])]
                else:
                    a = [("VariableID", row[0]), ("VariableSubId", row[1]), ("VariableNM", row[2])]
                lines.append(f"  <{title} " + attrs(a) + "/>")
        write(f"Dictionary/KSU_{version}.xml", lines + ["</PultexConsole>"])


if __name__ == "__main__":
    gen_variables()
    gen_voc_format()
    gen_voc_event()
    gen_ksu_events()
    gen_custom_graphs()
    gen_setups()
