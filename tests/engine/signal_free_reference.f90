! Independent transcription of the signal-free chronology for the engine
! tests: the standard pass and the signal-free iteration for ratio indices,
! the arithmetic mean, no running RBAR, and the straight line (option 3) or
! the mean line (option 6), written out from the definitions in plain
! Fortran, REAL where the program works in single precision and DOUBLE
! PRECISION where it keeps double sums.
!   gfortran -O0 -o sfref signal_free_reference.f90
!   for c in "3 y" "3 n" "6 n"; do set -- $c
!     printf "$1\n$2\n../data/synth12.rwl\n" | ./sfref > ../data/signal_free_opt$1_tarn_$2.txt
!   done
! Input: the option code, the TARN answer (y: chronology means set to 1,
! median statistics, the thin start left out of the statistics), the
! decade file. Output: the "Iter" lines as the report writes them, then
! "CRN year value" for every year of the final signal-free chronology.
program sfref
  implicit none
  integer, parameter :: mxy = 700, mxs = 20
  character(len=200) :: path
  character(len=120) :: line
  character :: tarn
  integer :: nopt, ns, ios, v(10), k, yr, i, j, n, o, fy, ly, nyrs, iter, lone, thin, lead, ntail
  integer :: ify(mxs), ily(mxs), depth(mxy), stf(mxy), opttab(mxs, 0:100), code, q, tested
  real :: x(mxy, mxs), idx(mxy, mxs), finidx(mxy, mxs), crn(mxy), prv(mxy), org(mxy), mslen(mxy)
  real :: s(mxy), c(mxy), ind(mxy), d(mxy), sm(mxy), ad(mxy), wk(mxy), rcs(mxy, 0:100)
  real :: sermns(mxs), idxsd1(mxs), m, sd, chrmn0, stat(4), sfcmin(4), cnvhis(100, 4), cnvsta, cnvprv
  character :: mark(4)
  logical :: stiff

  read(*,*) nopt
  read(*,*) tarn
  read(*,'(a)') path
  open(10, file=trim(path), status='old')
  ns = 0
  x = -999.0
  do
    read(10, '(a)', iostat=ios) line
    if (ios /= 0) exit
    read(line(9:12), *) yr
    read(line(13:72), '(10i6)') v
    if (ns == 0) then
      ns = 1; ify(1) = yr; n = 0
    else if (n == -1) then
      ns = ns + 1; ify(ns) = yr; n = 0
    end if
    ! A line holds the years from its own to the end of its decade.
    do k = 1, 10 - mod(yr, 10)
      if (v(k) == -9999) then
        ily(ns) = ify(ns) + n - 1; n = -1; exit
      end if
      n = n + 1
      x(n, ns) = real(v(k))*0.01
      x(n, ns) = x(n, ns)*0.1
    end do
  end do
  fy = minval(ify(1:ns)); ly = maxval(ily(1:ns)); nyrs = ly - fy + 1

  ! Mean segment length per year.
  idx = -999.0
  do j = 1, ns
    n = ily(j) - ify(j) + 1; o = ify(j) - fy
    idx(o + 1:o + n, j) = real(n)
  end do
  call robsum(idx, nyrs, ns, mslen, depth)

  ! Standard pass: the curve of every series, floored, and ratios.
  idx = -999.0
  do j = 1, ns
    n = ily(j) - ify(j) + 1; o = ify(j) - fy
    call meansd(x(1:n, j), n, sermns(j), sd)
    call fit(nopt, x(1:n, j), n, c)
    c(1:n) = max(c(1:n), 0.02)
    ind(1:n) = x(1:n, j)/c(1:n)
    idx(o + 1:o + n, j) = ind(1:n)
    call meansd(ind, n, m, idxsd1(j))
    ! Series in calendar rows from here on.
    x(o + 1:o + n, j) = x(1:n, j)
    if (o > 0) x(1:o, j) = -999.0
  end do

  ! Standard chronology and its levels.
  call robsum(idx, nyrs, ns, crn, depth)
  call meansd(crn, nyrs, chrmn0, sd)
  crn(1:nyrs) = max(crn(1:nyrs) - chrmn0 + 1.0, 0.0)
  lone = 0
  do while (lone < nyrs)
    if (depth(lone + 1) /= 1) exit
    lone = lone + 1
  end do
  thin = 0
  do while (thin < nyrs)
    if (depth(thin + 1) >= 6) exit
    thin = thin + 1
  end do
  if (nyrs - thin < 20) thin = lone
  call meanfrom(crn, nyrs, lone + 1, m)
  crn(1:nyrs) = crn(1:nyrs) - m + 1.0
  org = crn
  rcs(:, 0) = crn
  lead = 0
  if (lone >= 1) then
    do j = 1, ns
      if (ify(j) /= fy) cycle
      lead = j; n = ily(j) - ify(j) + 1
      call meanfrom(x(1:n, j), n, lone + 1, sermns(j))
    end do
  end if
  call meanfrom(crn, nyrs, lone + 1, m)
  do k = 1, nyrs
    if (tarn == 'y') crn(k) = crn(k) - m + 1.0
    crn(k) = max(crn(k), 0.0)
  end do
  prv = crn
  sfcmin = 9999.0
  stiff = nopt == -2 .or. nopt == 0 .or. nopt == 1 .or. nopt == 2 .or. nopt == 6
  tested = 1
  if (tarn == 'y') tested = 2
  if (.not. stiff) tested = tested + 2

  iter = 0
  do
    iter = iter + 1
    finidx = -999.0
    do j = 1, ns
      n = ily(j) - ify(j) + 1; o = ify(j) - fy
      do i = 1, n
        k = o + i
        if (depth(k) >= 2 .and. crn(k) > 0.0) then
          s(i) = x(k, j)/crn(k)
        else
          s(i) = x(k, j)
        end if
      end do
      if (j == lead .and. lone >= 1 .and. n - lone > 0) then
        call meansd(s(lone + 1:n), n - lone, m, sd)
        s(lone + 1:n) = sermns(j)*s(lone + 1:n)/m
      else
        call meansd(s, n, m, sd)
        s(1:n) = sermns(j)*s(1:n)/m
      end if
      code = nopt
      call fit(code, s, n, c)
      opttab(j, iter) = code
      if (iter >= 5) then
        if (opttab(j, iter) /= opttab(j, iter - 1) .or. opttab(j, iter - 1) == 6) then
          code = 6
          call fit(code, s, n, c)
          opttab(j, iter) = code
        end if
      end if
      c(1:n) = max(c(1:n), 0.02)
      ind(1:n) = x(o + 1:o + n, j)/c(1:n)
      idx(o + 1:o + n, j) = ind(1:n)
      call meansd(ind, n, m, sd)
      if (n >= 2 .and. sd > 0.0) ind(1:n) = (ind(1:n) - m)/sd*sd + m
      finidx(o + 1:o + n, j) = ind(1:n)
    end do

    call robsum(idx, nyrs, ns, crn, depth)
    call meansd(crn, nyrs, chrmn0, sd)
    crn(1:nyrs) = max(crn(1:nyrs), 0.0)
    rcs(:, iter) = crn
    if (tarn == 'y') then
      call meanfrom(crn, nyrs, lone + 1, m)
      crn(1:nyrs) = max(crn(1:nyrs) - m + 1.0, 0.0)
      if (iter >= 2) crn(1:thin) = rcs(1:thin, iter - 1)
      rcs(:, iter) = crn
    end if

    d(1:nyrs) = prv(1:nyrs) - crn(1:nyrs)
    do i = 1, nyrs - 2
      stf(i) = int(mslen(i + 1))
    end do
    call splage(nyrs, d, sm, stf)
    d(1:nyrs) = d(1:nyrs) - sm(1:nyrs)
    if (tarn == 'y') then
      ntail = nyrs - thin
      ad(1:ntail) = abs(d(thin + 1:nyrs))
      call sfconv(ad, wk, depth(thin + 1:nyrs), ntail, stat)
    else
      ad(1:nyrs) = abs(d(1:nyrs))
      call sfconv(ad, wk, depth, nyrs, stat)
    end if
    do q = 1, 4
      mark(q) = ' '
      if (stat(q) < sfcmin(q)) then
        mark(q) = '*'; sfcmin(q) = stat(q)
      end if
    end do
    cnvhis(iter, :) = stat
    write(*, '(1x,a,i3,a,f13.8,a,3(f14.8,a))') 'Iter ', iter, '  Convergence Criteria: ', &
      stat(1), mark(1), stat(2), mark(2), stat(3), mark(3), stat(4), mark(4)
    cnvsta = stat(1)
    if (iter >= 2) then
      cnvsta = stat(tested); cnvprv = cnvhis(iter - 1, tested)
    end if
    if (cnvsta <= 0.0001) exit
    if (iter == 100) exit
    if (iter >= 7 .and. cnvsta > cnvprv) then
      write(*, '(a)') 'RISE'
      stop
    end if
    prv = crn
  end do

  ! The final chronology from the rescaled indices, at level 1 over the
  ! years after the thin start.
  call robsum(finidx, nyrs, ns, crn, depth)
  call meanfrom(crn, nyrs, thin + 1, m)
  crn(1:nyrs) = crn(1:nyrs) - m + 1.0
  do k = 1, nyrs
    write(*, '(a,i5,es17.9)') 'CRN ', fy + k - 1, crn(k)
  end do

contains

  ! The curve of y (n values): least-squares line (3) or mean line (6).
  subroutine fit(code, y, n, curv)
    integer :: code, n, t
    real :: y(n), curv(n), sum
    double precision :: st, stt, sy, sty, slope, b
    if (code == 3) then
      st = 0d0; stt = 0d0; sy = 0d0; sty = 0d0
      do t = 1, n
        st = st + t; stt = stt + dble(t)*t; sy = sy + y(t); sty = sty + dble(t)*y(t)
      end do
      slope = (sty - sy*st/n)/(stt - st*st/n)
      b = sy/n - st*slope/n
      do t = 1, n
        curv(t) = real(slope*t + b)
      end do
    else
      sum = 0.0
      do t = 1, n
        sum = sum + y(t)
      end do
      curv(1:n) = sum/real(n)
      code = 6
    end if
  end subroutine

  subroutine meansd(y, n, xm, sd)
    integer :: n, i
    real :: y(n), xm, sd, s
    s = 0.0
    do i = 1, n
      s = s + y(i)
    end do
    xm = s/real(n)
    s = 0.0
    do i = 1, n
      s = s + (y(i) - xm)**2
    end do
    sd = -99.0
    if (n > 1) sd = sqrt(s/real(n - 1))
  end subroutine

  ! Mean of y(from..n), or of all of y when that is empty.
  subroutine meanfrom(y, n, from, xm)
    integer :: n, from
    real :: y(n), xm, sd
    if (from > n) then
      call meansd(y, n, xm, sd)
    else
      call meansd(y(from:n), n - from + 1, xm, sd)
    end if
  end subroutine

  ! Year by year arithmetic mean (double sums) of the present values.
  subroutine robsum(a, nyrs, ns, crn, depth)
    integer :: nyrs, ns, depth(nyrs), i, j, cnt
    real :: a(mxy, mxs), crn(nyrs)
    double precision :: sum
    do i = 1, nyrs
      sum = 0d0; cnt = 0
      do j = 1, ns
        if (a(i, j) /= -999.0) then
          sum = sum + a(i, j); cnt = cnt + 1
        end if
      end do
      crn(i) = real(sum/cnt)
      depth(i) = cnt
    end do
  end subroutine

  subroutine sortv(n, y)
    integer :: n, i, j
    real :: y(n), t
    do i = 2, n
      t = y(i); j = i - 1
      do while (j >= 1)
        if (y(j) <= t) exit
        y(j + 1) = y(j); j = j - 1
      end do
      y(j + 1) = t
    end do
  end subroutine

  real function med(y, n)
    integer :: n
    real :: y(n)
    call sortv(n, y)
    med = (y(n/2 + 1) + y(n - n/2))/2.0
  end function

  ! Mean and median of the absolute differences, plain and weighted by the
  ! square root of the year's depth over the largest depth.
  subroutine sfconv(dd, w, dep, n, r)
    integer :: n, dep(n), i, cnt, big
    real :: dd(n), w(n), r(4), sum
    big = maxval(dep(1:n)); cnt = 0; sum = 0.0
    do i = 1, n
      if (dep(i) > 0) then
        cnt = cnt + 1; w(cnt) = dd(i); sum = sum + dd(i)
      end if
    end do
    r(1) = sum/real(cnt)
    r(2) = med(w, cnt)
    cnt = 0; sum = 0.0
    do i = 1, n
      if (dep(i) > 0) then
        cnt = cnt + 1; w(cnt) = dd(i)*sqrt(real(dep(i)))/sqrt(real(big)); sum = sum + w(cnt)
      end if
    end do
    r(3) = sum/real(cnt)
    r(4) = med(w, cnt)
  end subroutine

  ! Smoothing spline with a stiffness per row: the penalised second
  ! differences solved by a band Cholesky decomposition in double.
  subroutine splage(n, y, curv, st)
    integer :: n, st(n), i, mm
    real :: y(n), curv(n)
    double precision :: a(n, 3), l(n, 3), z(n), u(-1:n + 2), p, w, pi, cc
    mm = n - 2
    pi = 4d0*atan(1d0)
    do i = 1, mm
      w = 2d0*pi/dble(st(i))
      p = 6d0*(cos(w) - 1d0)**2/(cos(w) + 2d0)
      a(i, 1) = 1d0; a(i, 2) = p/3d0 - 4d0; a(i, 3) = 4d0*p/3d0 + 6d0
      z(i) = dble(y(i)) - 2d0*dble(y(i + 1)) + dble(y(i + 2))
    end do
    a(1, 1:2) = 0d0; a(2, 1) = 0d0
    do i = 1, mm
      l(i, 1) = 0d0; l(i, 2) = 0d0
      if (i >= 3) l(i, 1) = a(i, 1)/l(i - 2, 3)
      if (i >= 2) then
        cc = a(i, 2)
        if (i >= 3) cc = cc - l(i, 1)*l(i - 1, 2)
        l(i, 2) = cc/l(i - 1, 3)
      end if
      l(i, 3) = sqrt(a(i, 3) - l(i, 1)**2 - l(i, 2)**2)
    end do
    do i = 1, mm
      if (i >= 2) z(i) = z(i) - l(i, 2)*z(i - 1)
      if (i >= 3) z(i) = z(i) - l(i, 1)*z(i - 2)
      z(i) = z(i)/l(i, 3)
    end do
    u = 0d0
    do i = mm, 1, -1
      cc = z(i)
      if (i + 1 <= mm) cc = cc - l(i + 1, 2)*u(i + 1)
      if (i + 2 <= mm) cc = cc - l(i + 2, 1)*u(i + 2)
      u(i) = cc/l(i, 3)
    end do
    do i = 1, n
      curv(i) = real(dble(y(i)) - (u(i - 2) - 2d0*u(i - 1) + u(i)))
    end do
  end subroutine

end program
