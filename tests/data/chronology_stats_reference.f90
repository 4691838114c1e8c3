! Single-precision reference for the chronology statistics tests: sort,
! hinges, median, xmad, meansd, biwloc, biwgt, ROBSUM, corrl, winrbr, runrbr,
! sfconv and indxs written out in plain Fortran from their definitions, REAL
! where the routines work in single precision, DOUBLE PRECISION where they
! keep double sums.  Values travel as the integer bit patterns of the REALs,
! so nothing is lost in decimal conversion.
!   gfortran -O0 -o stats_ref chronology_stats_reference.f90
!   printf 'vec\n8\n<eight bit patterns>\n' | ./stats_ref
! Modes: vec (n, values), biwgt (n itype, values), robsum, runrbr, sfconv,
! indxs (see the reads in the main program).
module lit
  implicit none
contains
  real function rb(i)
    integer, intent(in) :: i
    rb = transfer(i, 1.0)
  end function
  subroutine sortx(n, x)
    integer :: n, l, ir, i, j, iq, jstack, istack(10000)
    real :: x(n), a, fx
    l = 1; ir = n; jstack = 0; fx = 0.
    do
      if (ir - l < 7) then
        do j = l + 1, ir
          a = x(j)
          i = j - 1
          do while (i >= l)
            if (x(i) <= a) exit
            x(i + 1) = x(i)
            i = i - 1
          end do
          x(i + 1) = a
        end do
        if (jstack == 0) return
        ir = istack(jstack); l = istack(jstack - 1); jstack = jstack - 2
      else
        fx = fx*211. + 1663.
        fx = fx - aint(fx/7875.)*7875.
        iq = int(l + (ir - l + 1)*(fx*0.00012698413))
        a = x(iq); x(iq) = x(l)
        i = l; j = ir
        do
          do while (j > 0)
            if (.not. (a < x(j))) exit
            j = j - 1
          end do
          if (j <= i) then
            x(i) = a; exit
          end if
          x(i) = x(j); i = i + 1
          do while (i <= n)
            if (.not. (a > x(i))) exit
            i = i + 1
          end do
          if (j <= i) then
            x(j) = a; i = j; exit
          end if
          x(j) = x(i); j = j - 1
        end do
        jstack = jstack + 2
        if (ir - i >= i - l) then
          istack(jstack) = ir; istack(jstack - 1) = i + 1; ir = i - 1
        else
          istack(jstack) = i - 1; istack(jstack - 1) = l; l = i + 1
        end if
      end if
    end do
  end subroutine
  subroutine hinges(x, n, xmed, xhu, xhl, hs, xmin, xmax)
    integer :: n, h, q
    real :: x(n), xmed, xhu, xhl, hs, xmin, xmax
    call sortx(n, x)
    h = (n + 1)/2; q = h/2
    xmin = x(1); xmax = x(n)
    xmed = (x(n/2 + 1) + x(n - n/2))/2.
    xhl = (x(q + 1) + x(h - q))/2.
    xhu = (x(n - h + q + 1) + x(n - q))/2.
    hs = xhu - xhl
  end subroutine
  subroutine median(x, n, xmed)
    integer :: n, k
    real :: x(n), xmed
    call sortx(n, x)
    k = n/2
    if (mod(n, 2) == 1) then
      xmed = x(k + 1)
    else
      xmed = (x(k) + x(k + 1))/2.
    end if
  end subroutine
  subroutine xmad(x, n, c, res)
    integer :: n, i, k
    real :: x(n), c, res, d(6001)
    do i = 1, n
      d(i) = abs(x(i) - c)
    end do
    call sortx(n, d)
    k = n/2
    if (mod(n, 2) == 1) then
      res = d(k + 1)
    else
      res = (d(k + 1) + d(k))*0.5
    end if
  end subroutine
  subroutine meansd(x, n, xm, sd)
    integer :: n, i
    real :: x(n), xm, sd, s
    s = 0.
    do i = 1, n
      s = s + x(i)
    end do
    xm = s/n
    s = 0.
    do i = 1, n
      s = s + (x(i) - xm)**2
    end do
    sd = sqrt(s/(n - 1))
  end subroutine
  subroutine bstep(x, n, t, s, tn, sc)
    integer :: n, i
    real :: x(n), t, s, tn, sc, a, b, c, d, u6, u9
    a = 0.; b = 0.; c = 0.; d = 0.
    do i = 1, n
      u9 = (x(i) - t)/(9.*s)
      if (abs(u9) < 1.) then
        a = a + (x(i) - t)**2*(1. - u9**2)**4
        b = b + (1. - u9**2)*(1. - 5.*u9**2)
      end if
      u6 = (x(i) - t)/(6.*s)
      if (abs(u6) < 1.) then
        c = c + (x(i) - t)*(1. - u6**2)**2
        d = d + (1. - u6**2)**2
      end if
    end do
    tn = t + c/d
    sc = sqrt(a)*(n/sqrt(real(n - 1)))/abs(b)
  end subroutine
  subroutine biwloc(x, n, loci, scli, loc1, scl1)
    integer :: n, k
    real :: x(n), loci, scli, loc1, scl1, m, s, t
    call median(x, n, m)
    call xmad(x, n, m, s)
    if (n <= 5 .or. s <= 0.0001) then
      loci = m; loc1 = m; scli = 1.5*s; scl1 = 1.5*s; return
    end if
    call bstep(x, n, m, s, loc1, scl1)
    t = loc1
    do k = 1, 10
      call bstep(x, n, t, s, loci, scli)
      t = loci
    end do
  end subroutine
  subroutine biwgt(x, w, n, itype, loc, spr, se, wt, vratio)
    integer :: n, itype, i, g, k, step
    real :: x(n), w(n), wt(n), loc, spr, se, vratio, xmed, xhu, xhl, hs, xmin, xmax, p, s
    double precision :: sm, v, t, u, a, b, c, d, sc, dev
    if (n == 1) then
      loc = x(1); spr = 0.; se = 0.; vratio = 0.; wt(1) = 1.; return
    end if
    sm = 0d0
    do i = 1, n
      sm = sm + x(i)
    end do
    sm = sm/n
    v = 0d0
    do i = 1, n
      v = v + (x(i) - sm)**2
    end do
    v = v/(n - 1)
    if (itype == 1) then
      loc = sm; spr = sqrt(v); se = spr/sqrt(real(n)); vratio = 1.; wt = 1.; return
    end if
    call hinges(x, n, xmed, xhu, xhl, hs, xmin, xmax)
    if (itype < 0) then
      g = -itype
      if (g == 1) then; loc = xmin
      else if (g == 25) then; loc = xhl
      else if (g == 50) then; loc = xmed
      else if (g == 75) then; loc = xhu
      else if (g == 100) then; loc = xmax
      else
        p = real(g*n)/100.
        loc = (x(max(1, min(n, int(p)))) + x(max(1, min(n, int(p + 0.5)))))/2.
      end if
      spr = 0.; se = 0.; vratio = 0.; return
    end if
    do i = 1, n
      w(i) = abs(x(i) - xmed)
    end do
    call sortx(n, w)
    k = (n + 1)/2
    s = (w(k) + w(n - k + 1))/2.
    if (s < 0.0001 .and. n > 5) then
      loc = xmed; spr = s; se = s/sqrt(real(n)); vratio = 1.
      do i = 1, n
        wt(i) = 0.; if (x(i) == xmed) wt(i) = 1.
      end do
      return
    end if
    if (n <= 5) then
      loc = xmed; spr = 1.5*s; se = spr/sqrt(real(n)); vratio = 1.; wt = 1.; return
    end if
    t = xmed
    do step = 1, 4
      a = 0d0; b = 0d0; c = 0d0; d = 0d0
      do i = 1, n
        dev = x(i) - t
        u = dev/(7.5d0*s)
        if (step > 1) wt(i) = 0.
        if (abs(u) < 1d0) then
          a = a + dev**2*(1d0 - u**2)**4
          b = b + (1d0 - u**2)*(1d0 - 5d0*u**2)
          c = c + dev*(1d0 - u**2)**2
          d = d + (1d0 - u**2)**2
          if (step > 1) wt(i) = (1d0 - u**2)**2
        end if
      end do
      sc = sqrt(a)*n/sqrt(dble(n - 1))/abs(b)
      t = t + c/d
    end do
    loc = t; spr = sc; se = spr/sqrt(real(n))
    if (spr > 0.) then
      vratio = v/spr**2
    else
      vratio = 1.
    end if
  end subroutine

  subroutine robsum(x, bwt, nyrs, nser, crn, spr, vratio, ssize, meanmd, mxy)
    integer :: nyrs, nser, meanmd, mxy, ssize(nyrs), i, j, m
    real :: x(mxy, nser), bwt(mxy, 4), crn(nyrs), spr(nyrs), vratio(nyrs)
    real :: v(6001), w(6001), wt(6001), se, a1, a2, a3, a4, a5, a6
    do i = 1, nyrs
      m = 0
      do j = 1, nser
        if (x(i, j) /= -999.0) then
          m = m + 1; v(m) = x(i, j)
        end if
      end do
      call biwgt(v, w, m, meanmd, crn(i), spr(i), se, wt, vratio(i))
      ssize(i) = m
      if (m < 6) then
        bwt(i, 1:4) = 1.0
      else
        call hinges(wt, m, a1, a2, a3, a4, a5, a6)
        bwt(i, 1) = a5; bwt(i, 2) = a3; bwt(i, 3) = a1; bwt(i, 4) = a2
      end if
    end do
  end subroutine
  subroutine corrl(x, y, n, r, a, b)
    integer :: n, i
    real :: x(n), y(n), r, a, b, xm, ym, sxx, syy, sxy
    xm = 0.; ym = 0.
    do i = 1, n
      xm = xm + x(i); ym = ym + y(i)
    end do
    xm = xm/n; ym = ym/n
    sxx = 0.; syy = 0.; sxy = 0.
    do i = 1, n
      sxx = sxx + (x(i) - xm)**2
      syy = syy + (y(i) - ym)**2
      sxy = sxy + (x(i) - xm)*(y(i) - ym)
    end do
    if (sxx*syy == 0.) then
      r = 0.; b = 0.; a = ym; return
    end if
    r = sxy/sqrt(sxx*syy)
    b = (sqrt(syy/(n - 1))/sqrt(sxx/(n - 1)))*r
    a = ym - b*xm
  end subroutine
  subroutine winrbr(x, mxy, ns, ify, ily, ws, nc, rbar, sd, se, l)
    integer :: mxy, ns, ify(ns + 1), ily(ns + 1), ws, nc, l, i, j, r0
    real :: x(mxy, ns), rbar, sd, se, r, a, b
    double precision :: s1, s2, v
    s1 = 0d0; s2 = 0d0; nc = 0
    r0 = ws - ify(ns + 1) + 1
    do i = 1, ns - 1
      do j = i + 1, ns
        if (max(ify(i), ify(j)) <= ws .and. min(ily(i), ily(j)) - ws + 1 >= l) then
          call corrl(x(r0, i), x(r0, j), l, r, a, b)
          if (r > 0.) then
            nc = nc + 1; s1 = s1 + r; s2 = s2 + dble(r)*dble(r)
          end if
        end if
      end do
    end do
    if (nc >= 3) then
      rbar = s1/nc
      v = (s2 - nc*(s1/nc)**2)/(nc - 1)
      if (v < 0d0) v = 0d0
      sd = sqrt(v); se = sd/sqrt(dble(nc))
    else
      rbar = -99.9; sd = -99.9; se = -99.9
    end if
  end subroutine
  subroutine runrbr(x, rbrv1, ify, ily, ns, rbrv2, rbrv3, m, len, lap, mxy, gap)
    integer :: ns, ify(ns + 1), ily(ns + 1), m, len, lap, mxy, fy, ly, step, ntry, k, ws, we, mid, o, i, nc, nyrs, is
    logical :: gap, failed
    real :: x(mxy, ns), rbrv1(mxy, 3), rbrv2(mxy, 7), rbrv3(mxy, 5), rbar, sd, se, c0, s0, sm, n
    if (mod(len, 2) == 0) then
      lap = len; len = len + 1
    end if
    fy = ify(ns + 1); ly = ily(ns + 1); nyrs = ly - fy + 1
    step = len - lap
    ntry = (ly - fy + step)/step
    m = 0; o = 0; gap = .false.; failed = .false.
    do k = 0, ntry - 1
      ws = fy + k*step; we = ws + len - 1
      if (we > ly) cycle
      mid = ws + len/2
      call winrbr(x, mxy, ns, ify, ily, ws, nc, rbar, sd, se, len)
      if (rbar == -99.9) then
        if (m > 0) failed = .true.
        cycle
      end if
      if (failed) gap = .true.
      m = m + 1
      if (m == 1) o = mid - fy
      rbrv2(m, 1) = mid; rbrv2(m, 2) = nc; rbrv2(m, 3) = rbar; rbrv2(m, 4) = sd; rbrv2(m, 5) = se
      rbrv3(m + o, 2) = rbar
    end do
    if (m == 0) return
    do i = 1, o
      rbrv3(i, 2) = rbrv3(o + 1, 2)
    end do
    do i = m + o + 1, nyrs
      rbrv3(i, 2) = rbrv3(m + o, 2)
    end do
    is = 1
    do i = 2, nyrs + 1
      if (i == nyrs + 1) then
        call runmean(rbrv3, mxy, is, nyrs)
      else if (int(rbrv3(i, 1)) /= int(rbrv3(i - 1, 1))) then
        call runmean(rbrv3, mxy, is, i - 1)
        is = i
      end if
    end do
    call meansd(rbrv1(1, 1), nyrs, c0, s0)
    do i = 1, nyrs
      n = rbrv3(i, 1)
      rbrv3(i, 3) = n/((n - 1)*rbrv3(i, 2) + 1)
      rbrv3(i, 5) = n/((n - 1)*rbrv3(i, 4) + 1)
      rbrv1(i, 2) = c0 + (rbrv1(i, 1) - c0)*sqrt(rbrv3(i, 2)*rbrv3(i, 3))
      rbrv1(i, 3) = c0 + (rbrv1(i, 1) - c0)*sqrt(rbrv3(i, 4)*rbrv3(i, 5))
    end do
    write(*, '(a)') ' YEAR     NC   RBAR1    EPS1   NEFF1   RBAR2    EPS2   NEFF2'
    do i = 1, nyrs
      n = rbrv3(i, 1)
      write(*, '(i5,i7,6f8.3)') fy + i - 1, int(n), rbrv3(i, 2), n*rbrv3(i, 2)/((1 - rbrv3(i, 2)) + n*rbrv3(i, 2)), &
        rbrv3(i, 3), rbrv3(i, 4), n*rbrv3(i, 4)/((1 - rbrv3(i, 4)) + n*rbrv3(i, 4)), rbrv3(i, 5)
    end do
    sm = 0.
  end subroutine
  subroutine runmean(rbrv3, mxy, i0, i1)
    integer :: mxy, i0, i1, i
    real :: rbrv3(mxy, 5), s
    s = 0.
    do i = i0, i1
      s = s + rbrv3(i, 2)
    end do
    s = s/(i1 - i0 + 1)
    do i = i0, i1
      rbrv3(i, 4) = s
    end do
  end subroutine
  subroutine sfconv(d, wk, ssize, n, avg, med, wavg, wmed)
    integer :: n, ssize(n), i, m, mx
    real :: d(n), wk(n), avg, med, wavg, wmed, s, a2, a3, a4, a5, a6
    m = 0; s = 0.; mx = 0
    do i = 1, n
      mx = max(mx, ssize(i))
      if (ssize(i) > 0) then
        m = m + 1; wk(m) = d(i); s = s + d(i)
      end if
    end do
    avg = s/m
    call hinges(wk, m, med, a2, a3, a4, a5, a6)
    m = 0; s = 0.
    do i = 1, n
      if (ssize(i) > 0) then
        m = m + 1; wk(m) = d(i)*sqrt(real(ssize(i)))/sqrt(real(mx)); s = s + wk(m)
      end if
    end do
    wavg = s/m
    call hinges(wk, m, wmed, a2, a3, a4, a5, a6)
  end subroutine
  subroutine sstats(x, n, xm, sd)
    integer :: n, i
    real :: x(n), xm, sd, s, var, sp
    s = 0.
    do i = 1, n
      s = s + x(i)
    end do
    xm = s/n
    s = 0.
    do i = 1, n
      s = s + (x(i) - xm)**2
    end do
    var = s/(n - 1)
    if (var <= 0.) then
      sd = -99.0; return
    end if
    sd = sqrt(var)
    sp = sqrt(var*(n - 1)/n)
    do i = 1, n
      x(i) = (x(i) - xm)/sp
    end do
    do i = 1, n
      x(i) = x(i)*sp + xm
    end do
  end subroutine
  subroutine indxs(x, curv, ind, n, mode)
    integer :: n, mode, i
    real :: x(n), curv(n), ind(n), mr, sr, me, se
    do i = 1, n
      ind(i) = x(i)/curv(i)
    end do
    if (mode /= 2) return
    call sstats(ind, n, mr, sr)
    do i = 1, n
      ind(i) = ind(i)*curv(i) - curv(i)
    end do
    call sstats(ind, n, me, se)
    do i = 1, n
      if (sr > 0. .and. se > 0.) then
        ind(i) = (ind(i) - me)/se*sr + mr
      else
        ind(i) = mr
      end if
      if (ind(i) < 0.) ind(i) = 0.
    end do
  end subroutine
  subroutine indxsnr(x, curv, ind, n, mode)
    integer :: n, mode, i
    real :: x(n), curv(n), ind(n), mr, sr, me, se, e(6001)
    do i = 1, n
      ind(i) = x(i)/curv(i)
    end do
    if (mode /= 2) return
    e(1:n) = ind(1:n)
    call sstats(e, n, mr, sr)
    do i = 1, n
      e(i) = ind(i)*curv(i) - curv(i)
    end do
    ind(1:n) = e(1:n)
    call sstats(e, n, me, se)
    do i = 1, n
      if (sr > 0. .and. se > 0.) then
        ind(i) = (ind(i) - me)/se*sr + mr
      else
        ind(i) = mr
      end if
      if (ind(i) < 0.) ind(i) = 0.
    end do
  end subroutine
end module

program oracle
  use lit
  implicit none
  character(len=16) :: mode
  integer :: n, i, j, it, nyrs, nser, m, h, q
  integer, allocatable :: ib(:)
  real, allocatable :: x(:), w(:), wt(:), y(:), xm(:,:)
  real :: a1, a2, a3, a4, a5, a6, loc, spr, se, vr
  real, allocatable :: bw(:,:), r1(:,:), r2(:,:), r3(:,:)
  integer, allocatable :: iss(:), ify(:), ily(:)
  integer :: ns, ln, lp
  logical :: gap
  read(*, *) mode
  select case (trim(mode))
  case ('vec')
    read(*, *) n
    allocate(ib(n), x(n), w(n), wt(n), y(n))
    read(*, *) ib
    do i = 1, n; x(i) = rb(ib(i)); end do
    y = x; call sortx(n, y); write(*, '(a,100000(1x,i0))') 'sort', (transfer(y(i), 1), i = 1, n)
    y = x; call hinges(y, n, a1, a2, a3, a4, a5, a6)
    write(*, '(a,6(1x,i0))') 'hinges', transfer(a1, 1), transfer(a2, 1), transfer(a3, 1), transfer(a4, 1), &
         transfer(a5, 1), transfer(a6, 1)
    y = x; call median(y, n, a1); write(*, '(a,1x,i0)') 'median', transfer(a1, 1)
    call xmad(x, n, a1, a2); write(*, '(a,1x,i0)') 'xmad', transfer(a2, 1)
    if (n >= 2) then
      call meansd(x, n, a1, a2); write(*, '(a,2(1x,i0))') 'meansd', transfer(a1, 1), transfer(a2, 1)
    end if
    y = x; call biwloc(y, n, a1, a2, a3, a4)
    write(*, '(a,4(1x,i0))') 'biwloc', transfer(a1, 1), transfer(a2, 1), transfer(a3, 1), transfer(a4, 1)
  case ('biwgt')
    read(*, *) n, it
    allocate(ib(n), x(n), w(n), wt(n))
    read(*, *) ib
    do i = 1, n; x(i) = rb(ib(i)); end do
    call biwgt(x, w, n, it, loc, spr, se, wt, vr)
    write(*, '(a,4(1x,i0))') 'biwgt', transfer(loc, 1), transfer(spr, 1), transfer(se, 1), transfer(vr, 1)
    write(*, '(a,100000(1x,i0))') 'wt', (transfer(wt(i), 1), i = 1, n)
    write(*, '(a,100000(1x,i0))') 'x', (transfer(x(i), 1), i = 1, n)

  case ('robsum')
    read(*, *) nyrs, nser, it
    allocate(xm(nyrs, nser), ib(nyrs*nser), y(nyrs), w(nyrs), wt(nyrs), bw(nyrs, 4), iss(nyrs))
    read(*, *) ib
    do j = 1, nser; do i = 1, nyrs; xm(i, j) = rb(ib((j - 1)*nyrs + i)); end do; end do
    call robsum(xm, bw, nyrs, nser, y, w, wt, iss, it, nyrs)
    do i = 1, nyrs
      write(*, '(8(1x,i0))') transfer(y(i), 1), transfer(w(i), 1), transfer(wt(i), 1), iss(i), &
        (transfer(bw(i, j), 1), j = 1, 4)
    end do
  case ('runrbr')
    read(*, *) ns, nyrs, ln, lp
    allocate(ify(ns + 1), ily(ns + 1), xm(nyrs, ns), ib(nyrs*ns), r1(nyrs, 3), r2(nyrs, 7), r3(nyrs, 5))
    read(*, *) (ify(i), ily(i), i = 1, ns + 1)
    read(*, *) ib
    do j = 1, ns; do i = 1, nyrs; xm(i, j) = rb(ib((j - 1)*nyrs + i)); end do; end do
    deallocate(ib); allocate(ib(nyrs))
    read(*, *) ib; do i = 1, nyrs; r1(i, 1) = rb(ib(i)); end do
    read(*, *) ib; do i = 1, nyrs; r3(i, 1) = ib(i); end do
    r1(:, 2:3) = 0.; r2 = 0.; r3(:, 2:5) = 0.
    call runrbr(xm, r1, ify, ily, ns, r2, r3, m, ln, lp, nyrs, gap)
    write(*, '(a,4(1x,i0),1x,l1)') 'win', m, ln, lp, 0, gap
    do i = 1, m
      write(*, '(5(1x,i0))') (transfer(r2(i, j), 1), j = 1, 5)
    end do
    do i = 1, nyrs
      write(*, '(6(1x,i0))') (transfer(r3(i, j), 1), j = 2, 5), transfer(r1(i, 2), 1), transfer(r1(i, 3), 1)
    end do
  case ('sfconv')
    read(*, *) n
    allocate(ib(n), x(n), w(n), iss(n))
    read(*, *) ib; read(*, *) iss
    do i = 1, n; x(i) = rb(ib(i)); end do
    call sfconv(x, w, iss, n, a1, a2, a3, a4)
    write(*, '(4(1x,i0))') transfer(a1, 1), transfer(a2, 1), transfer(a3, 1), transfer(a4, 1)
  case ('indxs', 'indxsnr')
    read(*, *) n, it
    allocate(ib(n), x(n), w(n), y(n))
    read(*, *) ib; do i = 1, n; x(i) = rb(ib(i)); end do
    read(*, *) ib; do i = 1, n; w(i) = rb(ib(i)); end do
    if (trim(mode) == 'indxs') then
      call indxs(x, w, y, n, it)
    else
      call indxsnr(x, w, y, n, it)
    end if
    write(*, '(100000(1x,i0))') (transfer(y(i), 1), i = 1, n)
  end select
end program
