# Frames per second against the number of balls, for the sandbox's real frame
# and the two bare loops, from bench_frame's frame.csv. Called by
# scripts/benchmark.sh as: gnuplot -e "csv='...'; png='...'" plot-performance.gp
set datafile separator ','
set terminal pngcairo size 1100,480 font 'DejaVu Sans,11'
set output png
set logscale y
set grid ytics mytics xtics
set yrange [*:*]
set xrange [-0.3:3.3]
set xtics ('0' 0, '100' 1, '1,000' 2, '10,000' 3)
set xlabel 'balls'
set ylabel 'frames per second'
set key bottom left
position(n) = n == 0 ? 0 : n == 100 ? 1 : n == 1000 ? 2 : 3
# Rows of one scene kind only: other rows give NaN and are left out.
pick(a, w, value) = ($2 == a && $3 == w) ? value : NaN
set multiplot layout 1,2 title 'Tumblewell on this machine (llvmpipe under Xvfb), one run'
set title '1 attractor, no walls'
plot csv skip 1 using (position($1)):(pick(1, 0, $4)) with linespoints lw 2 pt 7 title 'program (real frame)', \
     csv skip 1 using (position($1)):(pick(1, 0, $7)) with linespoints lw 2 pt 5 dt 2 title 'bare loop, one by one', \
     csv skip 1 using (position($1)):(pick(1, 0, $8)) with linespoints lw 2 pt 9 dt 3 title 'bare loop, one batch'
set title '10 attractors, 100 walls'
plot csv skip 1 using (position($1)):(pick(10, 100, $4)) with linespoints lw 2 pt 7 title 'program (real frame)', \
     csv skip 1 using (position($1)):(pick(10, 100, $7)) with linespoints lw 2 pt 5 dt 2 title 'bare loop, one by one', \
     csv skip 1 using (position($1)):(pick(10, 100, $8)) with linespoints lw 2 pt 9 dt 3 title 'bare loop, one batch'
unset multiplot
