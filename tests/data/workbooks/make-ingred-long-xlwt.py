# Writes ingred-long-xlwt.xls: 20 ingredient messages of 4 long texts each, enough for the
# shared string table to continue across records, half of them outside Latin-1.
import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Long")
sheet.write(0, 0, "Message No")
for m in range(1, 5):
    sheet.write(0, m, "Message%d" % m)
for r in range(1, 21):
    sheet.write(r, 0, r)
    for m in range(1, 5):
        base = ("Ωμέγα %d.%d " if (r + m) % 2 else "Zutat %d.%d ") % (r, m)
        sheet.write(r, m, (base * 20)[:120])
book.save("ingred-long-xlwt.xls")
