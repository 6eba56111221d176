# Step time against ball count, log-log, one line per engine found in a CSV whose columns start
# engine,N,steps,median_us_per_step,min_us_per_step,escaped_bodies (further columns are allowed;
# an eighth column "status" other than "ok" marks a run as too slow or unstable).
#
#   gnuplot -e "csv='docs/bench/peers.csv'; png='docs/bench/peers.png'" bench/plot.gnuplot
#
# Runs with status "ok" are joined by lines; the others are drawn as open circles at the figure
# they did reach (for a run stopped at the wall-time cap, a lower bound). Rows without a time
# (not run) are left out.

if (!exists("csv")) csv = 'docs/bench/peers.csv'
if (!exists("png")) png = 'docs/bench/peers.png'

# The engines in order of first appearance, those with at least one timed run.
engines = system("awk -F, 'NR > 1 && $4 != \"\" && !seen[$1]++ { printf \"%s \", $1 }' '" . csv . "'")
if (strlen(engines) == 0) {
    print "plot.gnuplot: no timed run in " . csv
    exit
}

set datafile separator comma
set terminal pngcairo size 900,600 noenhanced font ",11"
set output png
set logscale xy
set format x "%.0f"
set xlabel "balls (N)"
set ylabel "microseconds per 0.002 s step (median)"
set title "One fixed step of N falling balls in a box, one thread"
set grid xtics ytics mxtics mytics
set key top left
set xrange [5:20000]

# engine,N,median,ok for every timed run; a file without the status column counts every timed
# run as ok.
runs = "< awk -F, 'NR > 1 && $4 != \"\" { print $1 \",\" $2 \",\" $4 \",\" ($8 == \"\" || $8 == \"ok\") }' '" . csv . "'"
ok(e) = (strcol(1) eq e && $4 == 1) ? $3 : NaN
other(e) = (strcol(1) eq e && $4 == 0) ? $3 : NaN

plot for [i = 1:words(engines)] runs using 2:(ok(word(engines, i))) \
         with linespoints linestyle i linewidth 2 pointtype 7 title word(engines, i), \
     for [i = 1:words(engines)] runs using 2:(other(word(engines, i))) \
         with points linestyle i pointtype 6 pointsize 2 notitle, \
     NaN with points pointtype 6 pointsize 2 linecolor "black" title "too slow or unstable", \
     2000 with lines dashtype 2 linecolor "gray40" title "real time (2000 us per step)"
